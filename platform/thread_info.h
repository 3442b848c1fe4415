// The calling thread and the wall clock as the log lines show them. Each operation stands for a
// Windows service:
//   currentThreadId  GetCurrentThreadId
//   localTimeNow     GetLocalTime
#pragma once

#include <cstdint>
#include <optional>

namespace platform {

// The system's id of the calling thread.
uint32_t currentThreadId();

struct LocalTime {
  int hour = 0;
  int minute = 0;
  int second = 0;
  unsigned millisecond = 0;
};

// Local wall-clock time of day, or nothing when it cannot be had.
std::optional<LocalTime> localTimeNow();

}  // namespace platform
