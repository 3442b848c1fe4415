#include "platform/clock.h"
#include "platform/win32/windows_api.h"

namespace platform {

uint32_t SystemClock::tickCount() const {
  return GetTickCount();
}

void SystemClock::sleep(uint32_t milliseconds) {
  Sleep(milliseconds);
}

}  // namespace platform
