// The driver's settings store: keys per model with their values ("SampleRate[Hz]").
#include "simbus/sim_bus.h"

#include "platform/win_error.h"
#include "simbus/sim_bus_internal.h"

namespace simbus {

namespace we = platform::win_error;

uint32_t SimBus::openSettingsKey(const std::string& key) const {
  std::lock_guard lock(mutex_);
  return state_->settings.count(lower(key)) ? we::Success : we::FileNotFound;
}

uint32_t SimBus::readSetting(const std::string& key, const std::string& name,
                             uint32_t& value) const {
  std::lock_guard lock(mutex_);
  const auto k = state_->settings.find(lower(key));
  if (k == state_->settings.end()) return we::FileNotFound;
  const auto v = k->second.find(lower(name));
  if (v == k->second.end()) return we::FileNotFound;
  value = v->second;
  return we::Success;
}

uint32_t SimBus::writeSetting(const std::string& key, const std::string& name, uint32_t value) {
  std::lock_guard lock(mutex_);
  const auto k = state_->settings.find(lower(key));
  if (k == state_->settings.end()) return we::FileNotFound;
  k->second[lower(name)] = value;
  ++state_->version;
  return we::Success;
}

}  // namespace simbus
