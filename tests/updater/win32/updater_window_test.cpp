// The updater's Win32 dialog answers Windows' question whether the session may end.
#include "updater/win32/updater_window.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace updater {
namespace {

TEST(UpdaterWindowTest, TheWarningHoldsOffTheSessionEndUntilItIsTakenAway) {
  // The progress bar's window class, as the program registers it at its start.
  const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  UpdaterWindow window;
  const FirmwareLibrary library{};
  FirmwareUpdater logic(library, window);
  ASSERT_TRUE(window.create(GetModuleHandleA(nullptr), logic));
  EXPECT_EQ(SendMessageA(window.handle(), WM_QUERYENDSESSION, 0, 0), TRUE);
  window.showDownloadWarning("Do not unplug the unit");
  EXPECT_EQ(SendMessageA(window.handle(), WM_QUERYENDSESSION, 0, 0), FALSE);
  window.showDownloadWarning("");
  EXPECT_EQ(SendMessageA(window.handle(), WM_QUERYENDSESSION, 0, 0), TRUE);
  DestroyWindow(window.handle());
}

}  // namespace
}  // namespace updater
