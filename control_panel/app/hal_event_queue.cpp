#include "control_panel/app/hal_event_queue.h"

namespace velmora {

bool HalEventQueue::push(HalEvent event) {
  const int next = (write_ + 1) % kSlots;
  if (next == read_) return false;
  slots_[write_] = event;
  write_ = next;
  return true;
}

std::optional<HalEvent> HalEventQueue::pop() {
  if (read_ == write_) return std::nullopt;
  const HalEvent event = slots_[read_];
  read_ = (read_ + 1) % kSlots;
  return event;
}

}  // namespace velmora
