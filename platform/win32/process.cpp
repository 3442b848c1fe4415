#include "platform/process.h"

#include "platform/win32/windows_api.h"

#include <shellapi.h>

#include "platform/win32/command_line.h"
#include "platform/win32/windows_api.h"
#include "platform/win_error.h"

namespace platform {

uint32_t startProgram(const std::string& path, const std::vector<std::string>& args) {
  if (path.empty()) return win_error::FileNotFound;
  std::vector<std::string> words{path};
  words.insert(words.end(), args.begin(), args.end());
  std::string commandLine = win32::buildCommandLine(words);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process)) {
    return GetLastError();
  }
  // Nothing waits for the child; its handles are not needed.
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return win_error::Success;
}

uint32_t openWebAddress(const std::string& url) {
  if (url.empty() || url.front() == '-') return win_error::InvalidParameter;
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteA(nullptr, "open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  return result > 32 ? win_error::Success : win32::shellExecuteError(result);
}

}  // namespace platform
