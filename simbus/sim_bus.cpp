#include "simbus/sim_bus.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "platform/clock.h"
#include "platform/win_error.h"
#include "simbus/sim_bus_internal.h"

namespace simbus {

namespace pv = platform::vhpd;
namespace we = platform::win_error;

namespace {

constexpr uint32_t kFirstAutoSerial = 100001;
constexpr uint32_t kDeviceFlags = 0x00000001;  // "unit present"; not interpreted by clients

std::string controlDeviceName() {
  return lower(std::string("\\\\.\\") + pv::kInterfaceGuidText);
}

IoReply failed(uint32_t error) {
  IoReply r;
  r.error = error;
  return r;
}

IoReply withOutput(std::vector<uint8_t> output) {
  IoReply r;
  r.bytesReturned = static_cast<uint32_t>(output.size());
  r.output = std::move(output);
  return r;
}

// A fixed-size reply record, or InsufficientBuffer when the caller's buffer cannot hold it.
IoReply record(std::span<const uint8_t> output, size_t size,
               const std::function<void(uint8_t*)>& fill) {
  if (output.size() < size) return failed(we::InsufficientBuffer);
  std::vector<uint8_t> data(size, 0);
  fill(data.data());
  return withOutput(std::move(data));
}

}  // namespace

SimBus::SimBus() : state_(std::make_unique<State>()) {
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

// ---- Controlling the bus ----

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

bool SimBus::setLocked(uint32_t serial, SyncInput input, bool locked) {
  return withUnit(serial, [&](SimUnit& unit) { unit.setLocked(input, locked); });
}

bool SimBus::setStandalone(uint32_t serial, bool on) {
  return withUnit(serial, [&](SimUnit& unit) { unit.setStandalone(on); });
}

void SimBus::setInstallFlags(uint32_t flags) {
  std::lock_guard lock(mutex_);
  state_->driver.installFlags = flags;
  ++state_->version;
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

void SimBus::addFault(const FaultRule& rule) {
  std::lock_guard lock(mutex_);
  state_->faults.add(rule);
}

void SimBus::clearFaults() {
  std::lock_guard lock(mutex_);
  state_->faults.clear();
}

std::vector<FaultRule> SimBus::faults() const {
  std::lock_guard lock(mutex_);
  return state_->faults.rules();
}

bool SimBus::withUnit(uint32_t serial, const std::function<void(SimUnit&)>& visit) {
  std::lock_guard lock(mutex_);
  UnitSlot* slot = findSlot(serial);
  if (!slot) return false;
  visit(slot->unit);
  ++state_->version;
  return true;
}

// ---- The driver as its clients see it ----

std::vector<std::string> SimBus::presentPaths() {
  std::unique_lock lock(mutex_);
  serviceLocked();
  std::vector<const UnitSlot*> present;
  for (const auto& slot : state_->units) {
    if (slot->onBus && slot->nodeEnabled) present.push_back(slot.get());
  }
  std::sort(present.begin(), present.end(),
            [](const UnitSlot* a, const UnitSlot* b) { return a->arrival < b->arrival; });
  std::vector<std::string> paths;
  for (const UnitSlot* slot : present) paths.push_back(devicePath(slot->unit.uniqueId()));
  notify(lock);
  return paths;
}

uint32_t SimBus::open(const std::string& path, HandleId& handle) {
  std::lock_guard lock(mutex_);
  serviceLocked();
  Handle h;
  if (lower(path) == controlDeviceName()) {
    h.control = true;
  } else {
    const UnitSlot* slot = slotForPath(path);
    if (!slot || !slot->onBus || !slot->nodeEnabled) return we::FileNotFound;
    h.serial = slot->unit.serialLow();
    h.epoch = slot->epoch;
  }
  handle = state_->nextHandle++;
  state_->handles.emplace(handle, h);
  return we::Success;
}

void SimBus::close(HandleId handle) {
  std::lock_guard lock(mutex_);
  state_->handles.erase(handle);
}

IoReply SimBus::ioControl(HandleId handle, uint32_t code, std::span<const uint8_t> input,
                          std::span<const uint8_t> output) {
  std::unique_lock lock(mutex_);
  serviceLocked();
  const auto it = state_->handles.find(handle);
  if (it == state_->handles.end()) return failed(we::InvalidHandle);
  const Handle h = it->second;
  IoReply reply =
      h.control ? controlRequest(code, input, output) : unitRequest(h, code, input, output);
  notify(lock);
  return reply;
}

IoReply SimBus::controlRequest(uint32_t code, std::span<const uint8_t> input,
                               std::span<const uint8_t> output) {
  DriverState& d = state_->driver;
  switch (code) {
    case pv::IOCTL_VHPD_GET_DRIVER_INFO:
      return record(output, pv::kDriverInfoSize, [&](uint8_t* p) {
        p[0] = d.versionMajor;
        p[1] = d.versionMinor;
      });
    case pv::IOCTL_VHPD_GET_STREAM_COUNTERS:
      return record(output, pv::kStreamCountersSize, [&](uint8_t* p) {
        const uint32_t running = d.streaming && !state_->devicesStopped ? 1 : 0;
        pv::storeLe32(p, running);
        pv::storeLe32(p + 4, running);
      });
    case pv::IOCTL_VHPD_GET_SAMPLE_RATE:
      return record(output, pv::kSampleRateGetSize,
                    [&](uint8_t* p) { pv::storeLe32(p + 4, d.sampleRate); });
    case pv::IOCTL_VHPD_SET_SAMPLE_RATE: {
      if (input.size() < pv::kSampleRateSetSize) return failed(we::InvalidParameter);
      const uint32_t hz = pv::loadLe32(input.data() + 4);
      if (!isDriverRate(hz)) {
        return failed(we::InvalidParameter);
      }
      d.sampleRate = hz;
      ++state_->version;
      return IoReply{};
    }
    case pv::IOCTL_VHPD_STOP_ALL_DEVICES:
      state_->devicesStopped = true;
      return IoReply{};
    case pv::IOCTL_VHPD_START_ALL_DEVICES:
      state_->devicesStopped = false;
      return IoReply{};
    default:
      return failed(we::InvalidFunction);
  }
}

IoReply SimBus::unitRequest(const Handle& h, uint32_t code, std::span<const uint8_t> input,
                            std::span<const uint8_t> output) {
  UnitSlot* slot = findSlot(h.serial);
  if (!slot || !slot->onBus || !slot->nodeEnabled || slot->epoch != h.epoch) {
    return failed(pv::KVO_STATUS_DEVICE_REMOVED);
  }
  switch (code) {
    case pv::IOCTL_VHPD_GET_DRIVER_INFO:
      return record(output, pv::kDriverInfoSize, [&](uint8_t* p) {
        p[0] = state_->driver.versionMajor;
        p[1] = state_->driver.versionMinor;
      });
    case pv::IOCTL_VHPD_GET_DEVICE_FLAGS:
      return record(output, pv::kDeviceFlagsSize,
                    [&](uint8_t* p) { pv::storeLe32(p, kDeviceFlags); });
    case pv::IOCTL_VHPD_GET_DEVICE_PROPERTIES:
      return record(output, pv::kDevicePropertiesSize, [&](uint8_t* p) {
        const std::string description = "Velmora PRO " + std::string(modelName(slot->unit.model()));
        std::snprintf(reinterpret_cast<char*>(p + pv::kDevicePropertiesText1Offset),
                      pv::kDevicePropertiesText1Size, "%s", description.c_str());
        std::snprintf(reinterpret_cast<char*>(p + pv::kDevicePropertiesText2Offset),
                      pv::kDevicePropertiesText2Size, "Corvane");
      });
    case pv::IOCTL_VHPD_GET_RESET_GENERATION_COUNT:
      return record(output, pv::kGenerationCountSize,
                    [&](uint8_t* p) { pv::storeLe32(p, state_->generation); });
    case pv::IOCTL_VHPD_ASYNC_READ:
    case pv::IOCTL_VHPD_ASYNC_WRITE:
    case pv::IOCTL_VHPD_FCP_TRANSACTION:
      return transfer(*slot, code, input, output);
    default:
      return failed(we::InvalidFunction);
  }
}

IoReply SimBus::transfer(UnitSlot& slot, uint32_t code, std::span<const uint8_t> input,
                         std::span<const uint8_t> output) {
  // Malformed requests are refused by the driver before they reach the bus.
  TransferKind kind = TransferKind::Fcp;
  if (code == pv::IOCTL_VHPD_FCP_TRANSACTION) {
    if (input.size() < pv::kFcpRequestSize) return failed(we::InvalidParameter);
    if (pv::loadLe32(input.data() + 4) > pv::kFcpMaxFrame) return failed(we::InvalidParameter);
    if (output.size() < pv::kFcpResponseSize) return failed(we::InsufficientBuffer);
  } else {
    if (input.size() < pv::kAsyncRequestSize || output.empty()) {
      return failed(we::InvalidParameter);
    }
    kind = code == pv::IOCTL_VHPD_ASYNC_READ ? SimUnit::readKind(output.size())
                                             : SimUnit::writeKind(output.size());
  }

  SimUnit& unit = slot.unit;
  slot.transfers.count(kind);
  std::optional<FaultRule> fault = state_->faults.onTransfer(unit.serialLow(), kind);
  const std::optional<TransferKind> request =
      code == pv::IOCTL_VHPD_ASYNC_WRITE
          ? SimBootloader::requestKind(pv::asyncRequestAddress(input.data()), output)
          : std::nullopt;
  if (!fault && request) fault = state_->faults.onTransfer(unit.serialLow(), *request);
  if (fault && isBootloaderAction(fault->action)) {
    // The boot loader itself misbehaves with this request; the transfer goes through.
    if (request) unit.bootloader().armFault(*fault);
    fault.reset();
  }
  if (fault) {
    switch (fault->action) {
      case FaultAction::Fail:
        return failed(fault->status);
      case FaultAction::Remove:
        detachLocked(slot);
        return failed(pv::KVO_STATUS_DEVICE_REMOVED);
      case FaultAction::BusReset:
        // A reset without a change of topology: clients see it only in the generation count.
        ++state_->generation;
        return failed(pv::VHPD_STATUS_INVALID_GEN_COUNT);
      case FaultAction::Delay:
      case FaultAction::Drop:
        break;  // carried out below, answered late
      default:
        break;  // boot-loader actions are handed over above
    }
  }

  IoReply reply;
  if (code == pv::IOCTL_VHPD_ASYNC_READ) {
    std::vector<uint8_t> data(output.size(), 0);
    reply.error = unit.read(pv::asyncRequestAddress(input.data()), data);
    if (reply.error == we::Success) reply = withOutput(std::move(data));
  } else if (code == pv::IOCTL_VHPD_ASYNC_WRITE) {
    reply.error = unit.write(pv::asyncRequestAddress(input.data()), output);
    if (reply.error == we::Success) {
      reply.bytesReturned = static_cast<uint32_t>(output.size());
      ++state_->version;
    }
  } else {
    const uint32_t length = pv::loadLe32(input.data() + 4);
    std::vector<uint8_t> response = unit.avcTransaction(input.subspan(8, length));
    response.resize(std::min(response.size(), pv::kFcpMaxFrame));
    std::vector<uint8_t> data(4 + response.size());
    pv::storeLe32(data.data(), static_cast<uint32_t>(response.size()));
    std::copy(response.begin(), response.end(), data.begin() + 4);
    reply = withOutput(std::move(data));
    ++state_->version;
  }
  if (unit.takeRejoinRequest()) {
    // The unit answers, then re-enumerates with its new AV/C model.
    detachLocked(slot);
    state_->rejoins.push_back({unit.serialLow(), platform::clock().tickCount()});
  }
  if (fault && fault->action == FaultAction::Delay) reply.delayMs = fault->delayMs;
  if (fault && fault->action == FaultAction::Drop) reply.dropped = true;
  return reply;
}

uint32_t SimBus::changeDeviceNodeState(const std::string& path, pv::DeviceNodeChange change) {
  std::unique_lock lock(mutex_);
  UnitSlot* slot = slotForPath(path);
  if (!slot) return we::NotFound;
  const bool enable = change == pv::DeviceNodeChange::Enable;
  if (change != pv::DeviceNodeChange::Enable && change != pv::DeviceNodeChange::Disable) {
    return we::InvalidParameter;
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
