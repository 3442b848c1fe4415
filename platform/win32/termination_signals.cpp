#include "platform/termination_signals.h"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>

#include "platform/win32/windows_api.h"

namespace platform {

namespace {

// Ctrl+C's exit code, as the default handling gives it.
constexpr UINT kControlCExit = 0xC000013A;

std::atomic<int> gDeferred{0};
std::string gNotice;
std::atomic<bool> gHeld{false};

// Runs on a thread of its own that the console starts.
BOOL WINAPI note(DWORD event) {
  int signal = 0;
  if (event == CTRL_C_EVENT) signal = SIGINT;
  if (event == CTRL_BREAK_EVENT) signal = SIGBREAK;
  // Closing the console, logoff and shutdown cannot be held off from here.
  if (signal == 0) return FALSE;
  int none = 0;
  if (gDeferred.compare_exchange_strong(none, signal)) {
    const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    DWORD written = 0;
    if (error != nullptr && error != INVALID_HANDLE_VALUE) {
      WriteFile(error, gNotice.data(), static_cast<DWORD>(gNotice.size()), &written, nullptr);
    }
  }
  return TRUE;
}

}  // namespace

DeferTerminationSignals::DeferTerminationSignals(const std::string& notice) {
  if (gHeld.exchange(true)) return;
  holding_ = true;
  gNotice = notice;
  if (gNotice.empty() || gNotice.back() != '\n') gNotice.push_back('\n');
  gDeferred = 0;
  SetConsoleCtrlHandler(note, TRUE);
}

DeferTerminationSignals::~DeferTerminationSignals() {
  release();
}

int DeferTerminationSignals::deferredSignal() const {
  return holding_ ? gDeferred.load() : 0;
}

void DeferTerminationSignals::release() {
  if (!holding_) return;
  holding_ = false;
  SetConsoleCtrlHandler(note, FALSE);
  const int deferred = gDeferred.exchange(0);
  gHeld = false;
  if (deferred == 0) return;
  // What the program has written so far is not lost with it.
  std::fflush(nullptr);
  ExitProcess(kControlCExit);
}

}  // namespace platform
