// The fault plan of the bus: rules added and cleared by tests and the control command.
#include "simbus/sim_bus.h"
#include "simbus/sim_bus_internal.h"

namespace simbus {

void SimBus::addFault(const FaultRule& rule) {
  std::lock_guard lock(mutex_);
  state_->faults.add(rule);
}

void SimBus::clearFaults() {
  std::lock_guard lock(mutex_);
  state_->faults.clear();
}

std::vector<FaultRule> SimBus::faults() const {
  std::lock_guard lock(mutex_);
  return state_->faults.rules();
}

}  // namespace simbus
