// Ctrl+C at the console while DeferTerminationSignals holds: noted, and acted on only when the
// hold ends. In a child of the test (a death test) with a console of its own, so the event
// reaches no other program.
#include "platform/termination_signals.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>

#include "platform/win32/windows_api.h"

namespace platform {
namespace {

HANDLE gEntered = nullptr;
HANDLE gControlThread = nullptr;

// Registered after the hold's own handler, so it runs first, on the thread the console
// starts; it hands that thread on and lets the hold's handler have the event.
BOOL WINAPI seeControlThread(DWORD) {
  DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &gControlThread,
                  SYNCHRONIZE, FALSE, 0);
  SetEvent(gEntered);
  return FALSE;
}

void controlCInsideAHold() {
  FreeConsole();
  if (!AllocConsole()) std::_Exit(10);
  SetConsoleCtrlHandler(nullptr, FALSE);
  DeferTerminationSignals hold("test: held off");
  gEntered = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  SetConsoleCtrlHandler(seeControlThread, TRUE);
  if (!GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0)) std::_Exit(11);
  // Bounds only: each wait ends as soon as the console's thread has got that far.
  if (WaitForSingleObject(gEntered, 20000) != WAIT_OBJECT_0) std::_Exit(12);
  if (WaitForSingleObject(gControlThread, 20000) != WAIT_OBJECT_0) std::_Exit(13);
  std::fprintf(stderr, "alive, deferred %d\n", hold.deferredSignal());
  hold.release();
  std::fprintf(stderr, "survived the end of the hold\n");
  std::_Exit(0);
}

TEST(DeferTerminationSignalsDeathTest, ControlCInsideIsNotedAndEndsTheProgramWhenTheHoldEnds) {
  EXPECT_EXIT(controlCInsideAHold(), ::testing::ExitedWithCode(static_cast<int>(0xC000013A)),
              "alive, deferred 2");
}

}  // namespace
}  // namespace platform
