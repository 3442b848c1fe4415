// Transfers to a unit (asynchronous reads and writes, FCP transactions), where the fault plan
// meets them: failures, departures, bus resets, late or lost answers.
#include "simbus/sim_bus.h"

#include <algorithm>

#include "platform/clock.h"
#include "platform/win_error.h"
#include "simbus/sim_bus_internal.h"

namespace simbus {

namespace pv = platform::vhpd;
namespace we = platform::win_error;

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

}  // namespace simbus
