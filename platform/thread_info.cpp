#include "platform/thread_info.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <ctime>

namespace platform {

uint32_t currentThreadId() {
  return static_cast<uint32_t>(syscall(SYS_gettid));
}

std::optional<LocalTime> localTimeNow() {
  timespec now{};
  tm local{};
  if (clock_gettime(CLOCK_REALTIME, &now) != 0 || localtime_r(&now.tv_sec, &local) == nullptr) {
    return std::nullopt;
  }
  return LocalTime{local.tm_hour,        local.tm_min,
                   local.tm_sec,         static_cast<unsigned>(now.tv_nsec / 1000000),
                   local.tm_year + 1900, local.tm_mon + 1,
                   local.tm_mday};
}

}  // namespace platform
