// The driver's settings store: keys per model with their values ("SampleRate[Hz]").
#include "simbus/sim_bus.h"

#include "platform/win_error.h"
#include "simbus/sim_bus_internal.h"

namespace simbus {

namespace we = platform::win_error;

namespace {

std::string settingsKeyOf(Model model) {
  return lower(model == Model::Studio ? kStudioSettingsKey : kCompactSettingsKey);
}

}  // namespace

bool SimBus::setSettingsKeyPresent(Model model, bool present) {
  std::lock_guard lock(mutex_);
  const std::string key = settingsKeyOf(model);
  if (!state_->settings.count(key)) return false;
  if (present) {
    state_->absentKeys.erase(key);
  } else {
    state_->absentKeys.insert(key);
  }
  return true;
}

bool SimBus::settingsKeyPresent(Model model) const {
  std::lock_guard lock(mutex_);
  return state_->visibleSettings(settingsKeyOf(model)) != nullptr;
}

std::optional<uint32_t> SimBus::storedRate(Model model) const {
  std::lock_guard lock(mutex_);
  const auto k = state_->settings.find(settingsKeyOf(model));
  if (k == state_->settings.end()) return std::nullopt;
  const auto v = k->second.find(lower(kSampleRateValue));
  if (v == k->second.end()) return std::nullopt;
  return v->second;
}

uint32_t SimBus::openSettingsKey(const std::string& key) const {
  std::lock_guard lock(mutex_);
  return state_->visibleSettings(lower(key)) ? we::Success : we::FileNotFound;
}

uint32_t SimBus::readSetting(const std::string& key, const std::string& name,
                             uint32_t& value) const {
  std::lock_guard lock(mutex_);
  const auto* values = state_->visibleSettings(lower(key));
  if (!values) return we::FileNotFound;
  const auto v = values->find(lower(name));
  if (v == values->end()) return we::FileNotFound;
  value = v->second;
  return we::Success;
}

uint32_t SimBus::writeSetting(const std::string& key, const std::string& name, uint32_t value) {
  std::lock_guard lock(mutex_);
  auto* values = state_->visibleSettings(lower(key));
  if (!values) return we::FileNotFound;
  (*values)[lower(name)] = value;
  ++state_->version;
  return we::Success;
}

}  // namespace simbus
