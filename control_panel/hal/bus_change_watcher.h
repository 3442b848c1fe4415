// Turns the driver's bus-change notification, which may arrive on any thread, into a flag
// the GUI thread (or a command-line loop) picks up and answers with
// VelmoraHAL::OnMSWDeviceChange, the way the main windows receive WM_DEVICECHANGE.
#pragma once

#include <atomic>
#include <memory>

#include "platform/vhpd_client.h"

namespace velmora {

class BusChangeWatcher {
 public:
  // Subscribes to the process's driver; unsubscribes when destroyed.
  BusChangeWatcher();
  // True once after any number of bus changes since the last call.
  bool TakeChange() { return changed_->exchange(false); }

 private:
  std::shared_ptr<std::atomic<bool>> changed_ = std::make_shared<std::atomic<bool>>(false);
  std::unique_ptr<platform::vhpd::Subscription> subscription_;
};

}  // namespace velmora
