// The fault plan of the bus: rules added and cleared by tests and the control command.
#include "simbus/sim_bus.h"
#include "simbus/sim_bus_internal.h"

namespace simbus {

bool SimBus::addFault(const FaultRule& rule) {
  if (!faultRuleProblem(rule).empty()) return false;
  std::lock_guard lock(mutex_);
  state_->faults.add(rule);
  return true;
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
