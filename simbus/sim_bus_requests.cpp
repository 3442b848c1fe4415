// The driver as its clients see it: present interfaces, opening and closing device
// paths, and device I/O control on the control device and on unit paths.
#include "simbus/sim_bus.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "platform/clock.h"
#include "platform/win_error.h"
#include "simbus/sim_bus_internal.h"

namespace simbus {

namespace pv = platform::vhpd;
namespace we = platform::win_error;

namespace {

constexpr uint32_t kDeviceFlags = 0x00000001;  // "unit present"; not interpreted by clients

std::string controlDeviceName() {
  return lower(std::string("\\\\.\\") + pv::kInterfaceGuidText);
}

// The driver's own requests a fault rule can name.
struct DriverRequestKind {
  uint32_t code;
  TransferKind kind;
};
constexpr std::array kDriverRequestKinds{
    DriverRequestKind{pv::IOCTL_VHPD_GET_DRIVER_INFO, TransferKind::DriverInfo},
    DriverRequestKind{pv::IOCTL_VHPD_GET_SAMPLE_RATE, TransferKind::SampleRateGet},
    DriverRequestKind{pv::IOCTL_VHPD_SET_SAMPLE_RATE, TransferKind::SampleRateSet},
    DriverRequestKind{pv::IOCTL_VHPD_GET_STREAM_COUNTERS, TransferKind::StreamCounters},
    DriverRequestKind{pv::IOCTL_VHPD_GET_DEVICE_FLAGS, TransferKind::DeviceFlags},
};

std::optional<TransferKind> driverRequestKind(uint32_t code) {
  for (const DriverRequestKind& entry : kDriverRequestKinds) {
    if (entry.code == code) return entry.kind;
  }
  return std::nullopt;
}

}  // namespace

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
    if (const std::optional<FaultRule> fault =
            state_->faults.onTransfer(slot->unit.serialLow(), TransferKind::Open)) {
      return fault->status;
    }
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
  const std::optional<FaultRule> fault = driverRequestFault(h, code);
  if (fault && fault->action == FaultAction::Fail) return failed(fault->status);
  IoReply reply =
      h.control ? controlRequest(code, input, output) : unitRequest(h, code, input, output);
  if (fault && fault->action == FaultAction::Delay) reply.delayMs = fault->delayMs;
  if (fault && fault->action == FaultAction::Drop) reply.dropped = true;
  notify(lock);
  return reply;
}

bool SimBus::handleLive(const Handle& h) const {
  if (h.control) return true;
  const UnitSlot* slot = findSlot(h.serial);
  return slot && slot->onBus && slot->nodeEnabled && slot->epoch == h.epoch;
}

std::optional<FaultRule> SimBus::driverRequestFault(const Handle& h, uint32_t code) {
  const std::optional<TransferKind> kind = driverRequestKind(code);
  // A unit that is gone answers that first; the rule waits for a request that gets through.
  if (!kind || !handleLive(h)) return std::nullopt;
  return state_->faults.onTransfer(h.control ? 0 : h.serial, *kind);
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
  if (!handleLive(h)) return failed(pv::KVO_STATUS_DEVICE_REMOVED);
  UnitSlot* slot = findSlot(h.serial);
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

}  // namespace simbus
