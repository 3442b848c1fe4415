// The control panel's diagnostic trace of everything it does with the hardware. Off unless
// the user's configuration asks for it; then it goes to the debugger output or to the file
// "VelmoraProLog.txt" in the per-user temporary folder. Callers assemble lines from several
// calls and write "\n" themselves; nothing is added to a message.
//
// Called from the GUI thread only (no locking).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

enum class LogDestination : int { Off = 0, DebuggerOutput = 1, File = 2 };

// The destination a "VelmoraProLogDest" configuration value names: "file", "console", and
// anything else (compared exactly) off.
LogDestination logDestinationFromConfig(std::string_view value);

// Process-wide destination; set once at start-up.
void setLogDestination(LogDestination destination);
LogDestination logDestination();

// Where the file destination writes: the temporary folder and "VelmoraProLog.txt". Empty
// when there is no temporary folder, and then file messages are dropped.
std::string logFilePath();

// printf-style message. "%p" prints a pointer-sized number as uppercase hexadecimal digits,
// at least 8 of them, the way status codes appear in the trace ("0x%p" gives 0xE0000050):
// pass those arguments through LogPtr().
void Log(const char* format, ...);
void LogText(const char* text);

inline unsigned long LogPtr(uint64_t value) {
  return static_cast<unsigned long>(value);
}

}  // namespace velmora
