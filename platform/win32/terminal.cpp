#include "platform/terminal.h"

#include "platform/win32/windows_api.h"

namespace platform {

namespace {

// Only a console has a console mode; the C runtime's isatty would also take the NUL device
// and serial ports for one.
bool isConsole(DWORD which) {
  DWORD mode = 0;
  const HANDLE handle = GetStdHandle(which);
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
}

}  // namespace

bool standardInputIsTerminal() {
  return isConsole(STD_INPUT_HANDLE);
}

bool standardOutputIsTerminal() {
  return isConsole(STD_OUTPUT_HANDLE);
}

}  // namespace platform
