#include "platform/thread_info.h"

#include "platform/win32/windows_api.h"

namespace platform {

uint32_t currentThreadId() {
  return GetCurrentThreadId();
}

std::optional<LocalTime> localTimeNow() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return LocalTime{now.wHour, now.wMinute, now.wSecond, now.wMilliseconds,
                   now.wYear, now.wMonth,  now.wDay};
}

}  // namespace platform
