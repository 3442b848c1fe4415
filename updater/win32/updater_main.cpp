// VelmoraProUpdater.exe: the power-supply warning, then the updater's dialog until "Exit", a
// skipped update or a restart ends the program with the code the logic gave.
#include <objbase.h>

#include <commctrl.h>

#include <memory>

#include "updater/firmware_library.h"
#include "updater/firmware_updater.h"
#include "updater/win32/updater_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  const HRESULT com = CoInitialize(nullptr);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);

  updater::UpdaterWindow window;
  auto logic = std::make_unique<updater::FirmwareUpdater>(updater::sharedFirmwareLibrary(), window);
  logic->showStartWarning();
  int exitCode = 1;
  if (window.create(instance, *logic)) {
    logic->initialise();
    ShowWindow(window.handle(), show);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
      if (window.handle() != nullptr && IsDialogMessageA(window.handle(), &message)) continue;
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    exitCode = static_cast<int>(message.wParam);
  }
  // The worker, if any, is stopped and waited for before the library goes.
  logic.reset();
  if (SUCCEEDED(com)) CoUninitialize();
  return exitCode;
}
