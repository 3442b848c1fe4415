// The main of the window tests: a wx application around the test run, on the display the
// runner gives (run-with-xvfb).
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/init.h>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  wxApp::SetInstance(new wxApp);
  if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) {
    fprintf(stderr, "cannot start wx (is DISPLAY set?)\n");
    return 1;
  }
  const int result = RUN_ALL_TESTS();
  wxTheApp->OnExit();
  wxEntryCleanup();
  return result;
}
