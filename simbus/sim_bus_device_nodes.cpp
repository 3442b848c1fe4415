// Device nodes of the units: disable and enable, and the install flags left by the change.
#include "simbus/sim_bus.h"

#include <algorithm>

#include "platform/win_error.h"
#include "simbus/sim_bus_internal.h"

namespace simbus {

namespace pv = platform::vhpd;
namespace we = platform::win_error;

std::vector<std::pair<std::string, NodeId>> SimBus::presentNodes() {
  std::vector<std::pair<std::string, NodeId>> nodes;
  for (std::string& path : presentPaths()) {
    std::lock_guard lock(mutex_);
    if (const UnitSlot* slot = slotForPath(path)) {
      nodes.emplace_back(std::move(path), slot->unit.uniqueId());
    }
  }
  return nodes;
}

SimBus::UnitSlot* SimBus::slotForNode(NodeId node) const {
  for (const auto& slot : state_->units) {
    if (slot->unit.uniqueId() == node) return slot.get();
  }
  return nullptr;
}

void SimBus::setNodeEnabledLocked(UnitSlot& slot, bool enabled) {
  if (slot.nodeEnabled == enabled) return;
  slot.nodeEnabled = enabled;
  // The driver reloads for the node: handles opened before are gone for good.
  if (enabled) ++slot.epoch;
  if (slot.onBus) {
    ++state_->generation;
    state_->changed = true;
  }
}

uint32_t SimBus::changeDeviceNodeState(NodeId node, pv::DeviceNodeChange change) {
  std::unique_lock lock(mutex_);
  UnitSlot* slot = slotForNode(node);
  if (!slot) return we::NotFound;
  if (change != pv::DeviceNodeChange::Enable && change != pv::DeviceNodeChange::Disable) {
    return we::InvalidParameter;
  }
  if (!state_->driver.mayChangeNodes) return we::AccessDenied;
  // The class installer refuses the change; the node stays as it was.
  if (const auto fault =
          state_->faults.onTransfer(slot->unit.serialLow(), TransferKind::DeviceNode)) {
    return fault->status;
  }
  setNodeEnabledLocked(*slot, change == pv::DeviceNodeChange::Enable);
  slot->installFlags = state_->driver.installFlags;
  notify(lock);
  return we::Success;
}

uint32_t SimBus::deviceInstallFlags(NodeId node, uint32_t& flags) const {
  std::lock_guard lock(mutex_);
  const UnitSlot* slot = slotForNode(node);
  if (!slot) return we::NotFound;
  flags = slot->installFlags;
  return we::Success;
}

bool SimBus::deviceNodeChangesAllowed() const {
  std::lock_guard lock(mutex_);
  return state_->driver.mayChangeNodes;
}

void SimBus::setDeviceNodeChangesAllowed(bool allowed) {
  std::lock_guard lock(mutex_);
  state_->driver.mayChangeNodes = allowed;
}

bool SimBus::setDeviceNodeEnabled(uint32_t serial, bool enabled) {
  std::unique_lock lock(mutex_);
  UnitSlot* slot = findSlot(serial);
  if (!slot) return false;
  setNodeEnabledLocked(*slot, enabled);
  notify(lock);
  return true;
}

}  // namespace simbus
