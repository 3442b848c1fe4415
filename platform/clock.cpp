#include "platform/clock.h"

namespace platform {

namespace {
SystemClock systemClock;
std::atomic<Clock*> current{&systemClock};
}  // namespace

Clock& clock() {
  return *current.load();
}

ScopedClock::ScopedClock(Clock& replacement) : previous_(current.exchange(&replacement)) {}

ScopedClock::~ScopedClock() {
  current.store(previous_);
}

}  // namespace platform
