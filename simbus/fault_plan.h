// Faults injected into a simulated bus: each rule waits for a number of matching transfers,
// then affects the next ones.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace simbus {

// What a unit transfer is. The driver sends a 4-byte read or write as a quadlet transaction
// and any other length as a block transaction. The next four are the boot-loader requests a
// write to the request window carries; `Any` matches every transfer but not those. The last
// ones never reach a unit: the driver's own requests (on the control device, or on a unit's
// device path for device flags and driver information) and the open of a unit's device path.
enum class TransferKind : uint8_t {
  BlockRead,
  QuadletRead,
  BlockWrite,
  QuadletWrite,
  Fcp,
  Any,
  Reset,
  DownloadStart,
  DownloadBlock,
  DownloadEnd,
  DriverInfo,
  SampleRateGet,
  SampleRateSet,
  StreamCounters,
  DeviceFlags,
  Open,
  DeviceNode,  // a disable or enable of the unit's device node
};
inline constexpr TransferKind kLastTransferKind = TransferKind::DeviceNode;

// A boot-loader request.
constexpr bool isRequestKind(TransferKind kind) {
  return kind > TransferKind::Any && kind <= TransferKind::DownloadEnd;
}

// A request the driver answers itself.
constexpr bool isDriverKind(TransferKind kind) {
  return kind >= TransferKind::DriverInfo && kind <= TransferKind::DeviceFlags;
}

// What `Any` stands for: the transfers that reach a unit's address space or its FCP.
constexpr bool isUnitTransferKind(TransferKind kind) {
  return kind < TransferKind::Any;
}

std::string_view transferKindName(TransferKind kind);  // "block-read", ..., "fcp", "any"
std::optional<TransferKind> parseTransferKind(std::string_view text);

enum class FaultAction : uint8_t {
  Fail,      // answer `status` without touching the unit
  Remove,    // the unit leaves the bus; the transfer answers KVO_STATUS_DEVICE_REMOVED
  BusReset,  // a bus reset intervenes: VHPD_STATUS_INVALID_GEN_COUNT, generation count bumps
  Delay,     // carry the transfer out, answer after `delayMs`
  Drop,      // carry the transfer out, never answer (until cancelled)
  // What the boot loader does with a request (kinds reset, download-start, ...):
  NoAnswer,  // takes no notice of it: no answer, no reset
  Late,      // carries it out, answers after `delayMs`
  Error,     // refuses it with the signed error code `status`
  WrongCrc,  // a download-end: the object arrived corrupted, so its CRC differs
  OtherId,   // a reset: the unit comes back showing another unique id
  KeepsOld,  // a reset into the application: the boot loader turns the new image down and
             // starts the firmware the unit ran before
};
inline constexpr FaultAction kLastFaultAction = FaultAction::KeepsOld;

constexpr bool isBootloaderAction(FaultAction action) {
  return action > FaultAction::Drop;
}

std::string_view faultActionName(FaultAction action);  // "fail", "remove", ...
std::optional<FaultAction> parseFaultAction(std::string_view text);

struct FaultRule {
  FaultAction action = FaultAction::Fail;
  TransferKind kind = TransferKind::Any;
  uint32_t serial = 0;   // unit serial (low half); 0 = any unit
  uint32_t skip = 0;     // matching transfers to let pass first
  uint32_t count = 1;    // matching transfers to affect afterwards
  uint32_t status = 0;   // for Fail; for Error the signed code
  uint32_t delayMs = 0;  // for Delay and Late
};

// Why `rule` cannot take effect ("" when it can): the driver's own requests fail, answer late
// or never; an open only fails; the boot-loader actions need a boot-loader request.
std::string faultRuleProblem(const FaultRule& rule);

class FaultPlan {
 public:
  void add(const FaultRule& rule) { rules_.push_back(rule); }
  void clear() { rules_.clear(); }
  const std::vector<FaultRule>& rules() const { return rules_; }
  // Counts the transfer against every matching rule; returns the first rule that fires.
  // A rule is used up after firing `count` times.
  std::optional<FaultRule> onTransfer(uint32_t serial, TransferKind kind);

 private:
  std::vector<FaultRule> rules_;
};

}  // namespace simbus
