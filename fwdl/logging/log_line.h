// The text of a log entry and the line that carries it to a destination.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace fwdl {

struct LogTime {
  int hour = 0;
  int minute = 0;
  int second = 0;
  unsigned millisecond = 0;
};

// Local wall-clock time, or nothing when it cannot be had.
std::optional<LogTime> CurrentLogTime();

// The kernel's id of the calling thread.
uint32_t CurrentThreadId();

// What the prefix parts of a line show; only the parts whose LogPrefix bit is in `flags`.
struct LinePrefix {
  uint32_t flags = 0;
  uint32_t threadId = 0;
  std::optional<LogTime> time;
  std::string_view moduleToken;
  std::string_view typeName;
};

// "[T0x<thread>] ", "hh:mm:ss:mmm  ", "<token>: ", "<type>: " (each when flagged), then `text`;
// at most kMaxLogLine characters, each part cut to what is left.
std::string BuildLogLine(const LinePrefix& prefix, std::string_view text);

// `format` expanded with `args`, cut to kMaxEntryText characters; when the expansion fails,
// "_____FAULTY_LOG_ENTRY: " and the raw format, so the entry still shows what was meant.
std::string FormatEntryText(const char* format, va_list args);

}  // namespace fwdl
