// Controlling the driver model: its version, sample rate, streaming, the install flags
// a device-node change reports, and how long a unit stays away for a model change.
#include "simbus/sim_bus.h"
#include "simbus/sim_bus_internal.h"

namespace simbus {

DriverState SimBus::driver() const {
  std::lock_guard lock(mutex_);
  return state_->driver;
}

void SimBus::setDriverVersion(uint8_t major, uint8_t minor) {
  std::lock_guard lock(mutex_);
  state_->driver.versionMajor = major;
  state_->driver.versionMinor = minor;
  ++state_->version;
}

bool SimBus::setDriverRate(uint32_t hz) {
  if (hz != 0 && !isDriverRate(hz)) {  // 0: a driver that has no rate yet
    return false;
  }
  std::lock_guard lock(mutex_);
  state_->driver.sampleRate = hz;
  ++state_->version;
  return true;
}

void SimBus::setStreaming(bool on) {
  std::lock_guard lock(mutex_);
  state_->driver.streaming = on;
  ++state_->version;
}

void SimBus::setRejoinDelay(uint32_t milliseconds) {
  std::lock_guard lock(mutex_);
  state_->driver.rejoinDelayMs = milliseconds;
}

void SimBus::setInstallFlags(uint32_t flags) {
  std::lock_guard lock(mutex_);
  state_->driver.installFlags = flags;
  ++state_->version;
}

}  // namespace simbus
