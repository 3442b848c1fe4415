// Turning argument lists into the one command-line string Windows passes to a new process, and
// ShellExecute's small result numbers into Windows errors.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform::win32 {

// The words quoted so that the C runtime's argument splitting (CommandLineToArgvW) gives them
// back unchanged: quotes around words with blanks, quotes or nothing, backslashes doubled
// before a quote.
std::string buildCommandLine(const std::vector<std::string>& words);

// ShellExecute's result (32 or less on failure) as a Windows error.
uint32_t shellExecuteError(intptr_t result);

}  // namespace platform::win32
