#include "platform/clock.h"

#include <chrono>
#include <thread>

namespace platform {

namespace {
SystemClock systemClock;
std::atomic<Clock*> current{&systemClock};
}  // namespace

uint32_t SystemClock::tickCount() const {
  const auto since = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

void SystemClock::sleep(uint32_t milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

Clock& clock() {
  return *current.load();
}

ScopedClock::ScopedClock(Clock& replacement) : previous_(current.exchange(&replacement)) {}

ScopedClock::~ScopedClock() {
  current.store(previous_);
}

}  // namespace platform
