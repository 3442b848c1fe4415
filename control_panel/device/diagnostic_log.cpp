#include "control_panel/device/diagnostic_log.h"

#include <cstdarg>
#include <cstdio>

#include "platform/debug_output.h"
#include "platform/paths.h"

namespace velmora {

namespace {

LogDestination destination = LogDestination::Off;

constexpr char kLogFileName[] = "VelmoraProLog.txt";
// The debugger output takes messages of at most 255 characters; longer ones are cut.
constexpr size_t kDebuggerMessageSize = 256;

// "%p" becomes "%08lX" so statuses print like Windows pointers; "%%" stays as it is.
std::string windowsPointerFormat(const char* format) {
  std::string out;
  for (const char* p = format; *p; ++p) {
    if (p[0] == '%' && p[1] == '%') {
      out += "%%";
      ++p;
    } else if (p[0] == '%' && p[1] == 'p') {
      out += "%08lX";
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
}

void write(const char* format, va_list args) {
  if (destination == LogDestination::File) {
    const std::string path = logFilePath();
    if (path.empty()) return;
    FILE* file = std::fopen(path.c_str(), "a");
    if (!file) return;  // an unwritable log must never stop the program
    const std::string fmt = windowsPointerFormat(format);
    std::vfprintf(file, fmt.c_str(), args);
    std::fclose(file);
  } else if (destination == LogDestination::DebuggerOutput) {
    char buffer[kDebuggerMessageSize];
    const std::string fmt = windowsPointerFormat(format);
    std::vsnprintf(buffer, sizeof buffer, fmt.c_str(), args);
    platform::outputDebugString(buffer);
  }
}

}  // namespace

LogDestination logDestinationFromConfig(std::string_view value) {
  if (value == "file") return LogDestination::File;
  if (value == "console") return LogDestination::DebuggerOutput;
  return LogDestination::Off;
}

void setLogDestination(LogDestination d) {
  destination = d;
}

LogDestination logDestination() {
  return destination;
}

std::string logFilePath() {
  const std::string folder = platform::tempFolder();
  if (folder.empty()) return {};
  return platform::joinPath(folder, kLogFileName);
}

void Log(const char* format, ...) {
  if (destination == LogDestination::Off) return;
  va_list args;
  va_start(args, format);
  write(format, args);
  va_end(args);
}

void LogText(const char* text) {
  Log("%s", text);
}

}  // namespace velmora
