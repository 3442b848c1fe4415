// A one-shot timer on the platform clock: the power-cycle reminder waits 40 s after the last
// bus change or mode switch. It is only queried, never fires a callback.
#pragma once

#include <cstdint>

namespace velmora {

class PowerCycleTimer {
 public:
  static constexpr uint32_t kIntervalMs = 40000;

  // (Re)starts the timer for kIntervalMs.
  void Start();
  // True from Start until the interval has passed.
  bool IsRunning() const;

 private:
  bool started_ = false;
  uint32_t startTick_ = 0;
};

}  // namespace velmora
