#include "control_panel/hal/power_cycle_timer.h"

#include "platform/clock.h"

namespace velmora {

void PowerCycleTimer::Start() {
  started_ = true;
  startTick_ = platform::clock().tickCount();
}

bool PowerCycleTimer::IsRunning() const {
  return started_ &&
         platform::ticksElapsed(startTick_, platform::clock().tickCount()) < kIntervalMs;
}

}  // namespace velmora
