// Controlling the bus: plugging and unplugging units, and direct access to a unit's
// state around the driver (coefficients, flash, accepted transfers, locks, counts).
#include "simbus/sim_bus.h"

#include <algorithm>

#include "simbus/sim_bus_internal.h"

namespace simbus {

namespace {

constexpr uint32_t kFirstAutoSerial = 100001;

}  // namespace

std::optional<uint32_t> SimBus::plug(const UnitSpec& spec, std::string* error) {
  auto fail = [&](std::string why) -> std::optional<uint32_t> {
    if (error) *error = std::move(why);
    return std::nullopt;
  };
  if (spec.protocol < 1 || spec.protocol > 3) return fail("protocol must be 1, 2 or 3");
  std::unique_lock lock(mutex_);
  UnitSlot* slot = spec.serialLow != 0 ? findSlot(spec.serialLow) : nullptr;
  if (slot) {
    if (slot->unit.model() != spec.model) {
      return fail("unit " + std::to_string(spec.serialLow) + " is a Velmora PRO " +
                  std::string(modelName(slot->unit.model())));
    }
    if (slot->onBus) return fail("unit " + std::to_string(spec.serialLow) + " is on the bus");
    std::erase_if(state_->rejoins,
                  [&](const State::Rejoin& r) { return r.serial == spec.serialLow; });
    slot->unit.powerOn();  // unplugged means switched off: the unit starts from its flash
  } else {
    UnitSpec fresh = spec;
    if (fresh.serialLow == 0) {
      fresh.serialLow = kFirstAutoSerial;
      while (findSlot(fresh.serialLow)) ++fresh.serialLow;
    }
    state_->units.push_back(std::make_unique<UnitSlot>(fresh));
    slot = state_->units.back().get();
  }
  const uint32_t serial = slot->unit.serialLow();
  attachLocked(*slot);
  notify(lock);
  return serial;
}

std::optional<uint32_t> SimBus::plugReplacing(const UnitSpec& spec, std::string* error) {
  auto fail = [&](std::string why) -> std::optional<uint32_t> {
    if (error) *error = std::move(why);
    return std::nullopt;
  };
  if (spec.protocol < 1 || spec.protocol > 3) return fail("protocol must be 1, 2 or 3");
  std::unique_lock lock(mutex_);
  serviceLocked();
  UnitSlot* slot = spec.serialLow != 0 ? findSlot(spec.serialLow) : nullptr;
  if (!slot) return fail("no unit " + std::to_string(spec.serialLow) + " to take the place of");
  if (slot->onBus) return fail("unit " + std::to_string(spec.serialLow) + " is on the bus");
  std::erase_if(state_->rejoins,
                [&](const State::Rejoin& r) { return r.serial == spec.serialLow; });
  slot->unit = SimUnit(spec);
  slot->nodeEnabled = true;
  slot->installFlags = 0;
  slot->transfers = {};
  attachLocked(*slot);
  notify(lock);
  return spec.serialLow;
}

bool SimBus::unplug(uint32_t serial) {
  std::unique_lock lock(mutex_);
  serviceLocked();
  UnitSlot* slot = findSlot(serial);
  // A unit away for a model change is unplugged by not letting it come back.
  if (slot && std::erase_if(state_->rejoins,
                            [&](const State::Rejoin& r) { return r.serial == serial; }) > 0) {
    return true;
  }
  if (!slot || !slot->onBus) return false;
  detachLocked(*slot);
  notify(lock);
  return true;
}

std::vector<UnitStatus> SimBus::units() const {
  std::lock_guard lock(mutex_);
  std::vector<UnitStatus> out;
  for (const auto& slot : state_->units) {
    const SimUnit& u = slot->unit;
    out.push_back(
        {u.serialLow(), u.serialHigh(), u.model(), u.protocol(), u.firmware(), slot->onBus});
  }
  return out;
}

uint32_t SimBus::generation() const {
  std::lock_guard lock(mutex_);
  return state_->generation;
}

bool SimBus::setLocked(uint32_t serial, SyncInput input, bool locked) {
  return withUnit(serial, [&](SimUnit& unit) { unit.setLocked(input, locked); });
}

bool SimBus::setStandalone(uint32_t serial, bool on) {
  return withUnit(serial, [&](SimUnit& unit) { unit.setStandalone(on); });
}

std::optional<uint32_t> SimBus::peek(uint32_t serial, size_t index) const {
  std::lock_guard lock(mutex_);
  const UnitSlot* slot = findSlot(serial);
  if (!slot || index >= kCoefficientCount) return std::nullopt;
  return slot->unit.coefficient(index);
}

std::optional<std::array<uint32_t, kCoefficientCount>> SimBus::flashOf(uint32_t serial) const {
  std::lock_guard lock(mutex_);
  const UnitSlot* slot = findSlot(serial);
  if (!slot) return std::nullopt;
  return slot->unit.flash();
}

bool SimBus::poke(uint32_t serial, size_t index, uint32_t value) {
  std::lock_guard lock(mutex_);
  UnitSlot* slot = findSlot(serial);
  if (!slot || index >= kCoefficientCount) return false;
  slot->unit.setCoefficient(index, value);
  ++state_->version;
  return true;
}

bool SimBus::setAcceptedTransfers(uint32_t serial, const AcceptedTransfers& accepts) {
  std::lock_guard lock(mutex_);
  UnitSlot* slot = findSlot(serial);
  if (!slot) return false;
  slot->unit.accepts = accepts;
  ++state_->version;
  return true;
}

std::optional<AcceptedTransfers> SimBus::acceptedTransfers(uint32_t serial) const {
  std::lock_guard lock(mutex_);
  const UnitSlot* slot = findSlot(serial);
  if (!slot) return std::nullopt;
  return slot->unit.accepts;
}

std::vector<std::pair<uint32_t, uint32_t>> SimBus::coefficientWrites(uint32_t serial) const {
  std::lock_guard lock(mutex_);
  const UnitSlot* slot = findSlot(serial);
  if (!slot) return {};
  return slot->unit.writeLog();
}

uint64_t SimBus::coefficientWriteCount(uint32_t serial) const {
  std::lock_guard lock(mutex_);
  const UnitSlot* slot = findSlot(serial);
  return slot ? slot->unit.writeCount() : 0;
}

std::optional<TransferCounts> SimBus::transferCounts(uint32_t serial) const {
  std::lock_guard lock(mutex_);
  const UnitSlot* slot = findSlot(serial);
  if (!slot) return std::nullopt;
  return slot->transfers;
}

bool SimBus::withUnit(uint32_t serial, const std::function<void(SimUnit&)>& visit) {
  std::lock_guard lock(mutex_);
  UnitSlot* slot = findSlot(serial);
  if (!slot) return false;
  visit(slot->unit);
  ++state_->version;
  return true;
}

}  // namespace simbus
