#include "platform/process.h"

#include "platform/win32/windows_api.h"

#include <shellapi.h>

#include "platform/win32/command_line.h"
#include "platform/win_error.h"

namespace platform {

uint32_t startProgram(const std::string& path, const std::vector<std::string>& args) {
  if (path.empty()) return win_error::FileNotFound;
  // The shell would open any other file with the program it belongs to; only programs start.
  DWORD kind = 0;
  if (!GetBinaryTypeA(path.c_str(), &kind)) {
    const DWORD error = GetLastError();
    return error == win_error::FileNotFound || error == win_error::PathNotFound ||
                   error == win_error::AccessDenied
               ? error
               : win_error::BadExeFormat;
  }
  // Through the shell, not CreateProcess: a program whose manifest asks for administrator
  // rights (the updater) has Windows ask the user for them, where CreateProcess refuses it
  // with 740 (elevation required).
  const std::string parameters = win32::buildCommandLine(args);
  SHELLEXECUTEINFOA start{};
  start.cbSize = sizeof start;
  // Done before the call returns (the caller may end right after), and no message boxes of
  // the shell's own: the caller reports the error.
  start.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
  start.lpVerb = "open";
  start.lpFile = path.c_str();
  start.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
  start.nShow = SW_SHOWDEFAULT;
  if (!ShellExecuteExA(&start)) {
    const DWORD error = GetLastError();
    return error != 0 ? error : win32::shellExecuteError(reinterpret_cast<INT_PTR>(start.hInstApp));
  }
  return win_error::Success;
}

uint32_t openWebAddress(const std::string& url) {
  if (url.empty() || url.front() == '-') return win_error::InvalidParameter;
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteA(nullptr, "open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  return result > 32 ? win_error::Success : win32::shellExecuteError(result);
}

}  // namespace platform
