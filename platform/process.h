// Other programs. Each operation stands for a Windows service:
//   startProgram    ShellExecuteEx "open" on a program file (so that Windows asks for the
//                   administrator rights a program's manifest asks for)
//   openWebAddress  ShellExecute "open" on a URL
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Starts the program at `path` with `args` (not counting the program name) and returns at
// once without waiting for it. 0 on success, else a Windows error: FileNotFound or
// PathNotFound when there is no such program, AccessDenied when it may not be run,
// BadExeFormat when it is no program; on Windows also ERROR_CANCELLED (1223) when the user turned
// down the rights the program asks for. The child is reaped when it ends.
[[nodiscard]] uint32_t startProgram(const std::string& path, const std::vector<std::string>& args);

// Opens `url` in the user's browser through xdg-open. 0 on success; FileNotFound when
// xdg-open is not installed; InvalidParameter for an empty address or one starting with '-'
// (which xdg-open would take for an option).
[[nodiscard]] uint32_t openWebAddress(const std::string& url);

}  // namespace platform
