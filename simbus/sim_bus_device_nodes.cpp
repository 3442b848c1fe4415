// Device nodes of the units: disable and enable, and the install flags left by the change.
#include "simbus/sim_bus.h"

#include "platform/win_error.h"
#include "simbus/sim_bus_internal.h"

namespace simbus {

namespace pv = platform::vhpd;
namespace we = platform::win_error;

uint32_t SimBus::changeDeviceNodeState(const std::string& path, pv::DeviceNodeChange change) {
  std::unique_lock lock(mutex_);
  UnitSlot* slot = slotForPath(path);
  if (!slot) return we::NotFound;
  const bool enable = change == pv::DeviceNodeChange::Enable;
  if (change != pv::DeviceNodeChange::Enable && change != pv::DeviceNodeChange::Disable) {
    return we::InvalidParameter;
  }
  // The class installer refuses the change; the node stays as it was.
  if (const auto fault =
          state_->faults.onTransfer(slot->unit.serialLow(), TransferKind::DeviceNode)) {
    return fault->status;
  }
  if (slot->nodeEnabled != enable) {
    slot->nodeEnabled = enable;
    // The driver reloads for the node: handles opened before are gone for good.
    if (enable) ++slot->epoch;
    if (slot->onBus) {
      ++state_->generation;
      state_->changed = true;
    }
  }
  slot->installFlags = state_->driver.installFlags;
  notify(lock);
  return we::Success;
}

uint32_t SimBus::deviceInstallFlags(const std::string& path, uint32_t& flags) const {
  std::lock_guard lock(mutex_);
  const UnitSlot* slot = slotForPath(path);
  if (!slot) return we::NotFound;
  flags = slot->installFlags;
  return we::Success;
}

}  // namespace simbus
