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
  int year = 0;   // e.g. 2026
  int month = 0;  // 1-12
  int day = 0;    // 1-31
};

// Local wall-clock date and time of day, or nothing when they cannot be had.
std::optional<LocalTime> localTimeNow();

}  // namespace platform
