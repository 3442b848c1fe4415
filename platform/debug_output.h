// The debugger-output sink. Each operation stands for a Windows service:
//   outputDebugString  OutputDebugStringA
#pragma once

#include <string_view>

namespace platform {

// Sends `text` as it is (no newline added) to the debugger-output sink: standard error on
// Linux. Unbuffered; text from concurrent calls never interleaves.
void outputDebugString(std::string_view text);

}  // namespace platform
