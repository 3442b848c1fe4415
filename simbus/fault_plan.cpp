#include "simbus/fault_plan.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

namespace simbus {

namespace {

constexpr std::array<std::pair<TransferKind, std::string_view>, 17> kKindNames{{
    {TransferKind::BlockRead, "block-read"},
    {TransferKind::QuadletRead, "quadlet-read"},
    {TransferKind::BlockWrite, "block-write"},
    {TransferKind::QuadletWrite, "quadlet-write"},
    {TransferKind::Fcp, "fcp"},
    {TransferKind::Any, "any"},
    {TransferKind::Reset, "reset"},
    {TransferKind::DownloadStart, "download-start"},
    {TransferKind::DownloadBlock, "download-block"},
    {TransferKind::DownloadEnd, "download-end"},
    {TransferKind::DriverInfo, "driver-info"},
    {TransferKind::SampleRateGet, "sample-rate-get"},
    {TransferKind::SampleRateSet, "sample-rate-set"},
    {TransferKind::StreamCounters, "stream-counters"},
    {TransferKind::DeviceFlags, "device-flags"},
    {TransferKind::Open, "open"},
    {TransferKind::DeviceNode, "device-node"},
}};

constexpr std::array<std::pair<FaultAction, std::string_view>, 11> kActionNames{{
    {FaultAction::Fail, "fail"},
    {FaultAction::Remove, "remove"},
    {FaultAction::BusReset, "bus-reset"},
    {FaultAction::Delay, "delay"},
    {FaultAction::Drop, "drop"},
    {FaultAction::NoAnswer, "no-answer"},
    {FaultAction::Late, "late"},
    {FaultAction::Error, "error"},
    {FaultAction::WrongCrc, "wrong-crc"},
    {FaultAction::OtherId, "other-id"},
    {FaultAction::KeepsOld, "keeps-old"},
}};

template <typename Enum, size_t N>
std::string_view nameOf(const std::array<std::pair<Enum, std::string_view>, N>& table, Enum e) {
  for (const auto& [value, name] : table) {
    if (value == e) return name;
  }
  return "?";
}

template <typename Enum, size_t N>
std::optional<Enum> valueOf(const std::array<std::pair<Enum, std::string_view>, N>& table,
                            std::string_view text) {
  for (const auto& [value, name] : table) {
    if (name == text) return value;
  }
  return std::nullopt;
}

}  // namespace

std::string_view transferKindName(TransferKind kind) {
  return nameOf(kKindNames, kind);
}
std::optional<TransferKind> parseTransferKind(std::string_view text) {
  return valueOf(kKindNames, text);
}
std::string_view faultActionName(FaultAction action) {
  return nameOf(kActionNames, action);
}
std::optional<FaultAction> parseFaultAction(std::string_view text) {
  return valueOf(kActionNames, text);
}

std::string faultRuleProblem(const FaultRule& rule) {
  const std::string action(faultActionName(rule.action));
  const std::string kind(transferKindName(rule.kind));
  if (isBootloaderAction(rule.action) && !isRequestKind(rule.kind)) {
    return action +
           " is what a boot loader does with a request: give the kind reset, download-start, "
           "download-block or download-end";
  }
  const bool answers = rule.action == FaultAction::Fail || rule.action == FaultAction::Delay ||
                       rule.action == FaultAction::Drop;
  if (isDriverKind(rule.kind) && !answers) {
    return "a " + kind + " request of the driver fails, is delayed or dropped, not " + action;
  }
  if (rule.kind == TransferKind::Open && rule.action != FaultAction::Fail) {
    return "an open only fails, not " + action;
  }
  if (rule.kind == TransferKind::DeviceNode && rule.action != FaultAction::Fail) {
    return "a device-node change only fails, not " + action;
  }
  return {};
}

std::optional<FaultRule> FaultPlan::onTransfer(uint32_t serial, TransferKind kind) {
  std::optional<FaultRule> fired;
  for (FaultRule& rule : rules_) {
    if (rule.serial != 0 && rule.serial != serial) continue;
    if (rule.kind == TransferKind::Any ? !isUnitTransferKind(kind) : rule.kind != kind) continue;
    if (rule.skip > 0) {
      --rule.skip;
      continue;
    }
    if (!fired && rule.count > 0) {
      fired = rule;
      --rule.count;
    }
  }
  std::erase_if(rules_, [](const FaultRule& r) { return r.count == 0; });
  return fired;
}

}  // namespace simbus
