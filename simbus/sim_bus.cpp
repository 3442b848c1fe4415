// SimBus core: construction, unit lookup, arrival and departure, bus-change
// notifications, and the clock-driven service (units rejoining after a model change).
#include "simbus/sim_bus.h"

#include <cstdio>
#include <random>

#include "platform/clock.h"
#include "simbus/sim_bus_internal.h"

namespace simbus {

namespace pv = platform::vhpd;

namespace {

std::string randomInstanceName() {
  std::random_device random;
  char name[40];
  std::snprintf(name, sizeof name, "inproc-%08x%08x", random(), random());
  return name;
}

}  // namespace

SimBus::SimBus() : instanceName_(randomInstanceName()), state_(std::make_unique<State>()) {
  state_->settings[lower(kStudioSettingsKey)];
  state_->settings[lower(kCompactSettingsKey)];
}

SimBus::~SimBus() = default;

std::string SimBus::devicePath(uint64_t uniqueId) {
  char text[96];
  std::snprintf(text, sizeof text, "\\\\?\\simbus#velmora#%016llx#%s",
                static_cast<unsigned long long>(uniqueId), pv::kInterfaceGuidText);
  return lower(text);
}

SimBus::UnitSlot* SimBus::findSlot(uint32_t serial) const {
  for (const auto& slot : state_->units) {
    if (slot->unit.serialLow() == serial) return slot.get();
  }
  return nullptr;
}

SimBus::UnitSlot* SimBus::slotForPath(const std::string& path) const {
  const std::string wanted = lower(path);
  for (const auto& slot : state_->units) {
    if (devicePath(slot->unit.uniqueId()) == wanted) return slot.get();
  }
  return nullptr;
}

void SimBus::attachLocked(UnitSlot& slot) {
  slot.onBus = true;
  ++slot.epoch;
  slot.arrival = ++state_->arrivals;
  ++state_->generation;
  ++state_->version;
  state_->changed = true;
}

void SimBus::detachLocked(UnitSlot& slot) {
  slot.onBus = false;
  ++state_->generation;
  ++state_->version;
  state_->changed = true;
}

void SimBus::notify(std::unique_lock<std::mutex>& lock) {
  if (!state_->changed) return;
  state_->changed = false;
  std::vector<std::shared_ptr<std::function<void()>>> callbacks;
  for (const auto& [id, callback] : state_->subscribers) callbacks.push_back(callback);
  lock.unlock();
  for (const auto& callback : callbacks) (*callback)();
  lock.lock();
}

void SimBus::service() {
  std::unique_lock lock(mutex_);
  serviceLocked();
  notify(lock);
}

std::optional<uint32_t> SimBus::msUntilDue() const {
  std::lock_guard lock(mutex_);
  const uint32_t now = platform::clock().tickCount();
  std::optional<uint32_t> soonest;
  for (const State::Rejoin& rejoin : state_->rejoins) {
    const uint32_t away = platform::ticksElapsed(rejoin.leftAt, now);
    const uint32_t left =
        away >= state_->driver.rejoinDelayMs ? 0 : state_->driver.rejoinDelayMs - away;
    if (!soonest || left < *soonest) soonest = left;
  }
  return soonest;
}

void SimBus::serviceLocked() {
  const uint32_t now = platform::clock().tickCount();
  std::erase_if(state_->rejoins, [&](const State::Rejoin& rejoin) {
    if (platform::ticksElapsed(rejoin.leftAt, now) < state_->driver.rejoinDelayMs) return false;
    if (UnitSlot* slot = findSlot(rejoin.serial); slot && !slot->onBus) attachLocked(*slot);
    return true;
  });
}

uint64_t SimBus::subscribe(std::function<void()> onChange) {
  std::lock_guard lock(mutex_);
  const uint64_t id = state_->nextSubscriber++;
  state_->subscribers.emplace(id, std::make_shared<std::function<void()>>(std::move(onChange)));
  return id;
}

void SimBus::unsubscribe(uint64_t id) {
  std::lock_guard lock(mutex_);
  state_->subscribers.erase(id);
}

uint64_t SimBus::stateVersion() const {
  std::lock_guard lock(mutex_);
  return state_->version;
}

}  // namespace simbus
