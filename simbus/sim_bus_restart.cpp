// A simulated computer restart.
#include "simbus/sim_bus.h"

#include "platform/win_error.h"
#include "simbus/sim_bus_internal.h"

namespace simbus {

namespace we = platform::win_error;

uint32_t SimBus::restart() {
  std::unique_lock lock(mutex_);
  State& s = *state_;
  ++s.driver.restarts;
  s.handles.clear();
  s.devicesStopped = false;
  // At boot the driver starts at the rate it stored.
  const auto& studio = s.settings[lower(kStudioSettingsKey)];
  const auto stored = studio.find(lower(kSampleRateValue));
  if (stored != studio.end() && isDriverRate(stored->second)) {
    s.driver.sampleRate = stored->second;
  }
  for (auto& slot : s.units) {
    slot->nodeEnabled = true;
    slot->installFlags = 0;
    if (slot->onBus) ++slot->epoch;
  }
  ++s.generation;
  ++s.version;
  s.changed = true;
  notify(lock);
  return we::Success;
}

}  // namespace simbus
