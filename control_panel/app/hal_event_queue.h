// The hardware abstraction's events on their way to the idle pass: eight slots, so at most
// seven waiting; an event that finds the queue full is dropped. Raised and taken on the GUI
// thread, never handled inside the hardware call that raised it.
#pragma once

#include <array>
#include <optional>

#include "control_panel/hal/hal_event.h"

namespace velmora {

class HalEventQueue {
 public:
  static constexpr int kSlots = 8;
  // False when the queue was full and the event was dropped.
  bool push(HalEvent event);
  std::optional<HalEvent> pop();

 private:
  std::array<HalEvent, kSlots> slots_{};
  int write_ = 0;
  int read_ = 0;
};

}  // namespace velmora
