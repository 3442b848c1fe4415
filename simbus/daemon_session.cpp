#include "simbus/daemon_session.h"

#include <algorithm>

#include "platform/win_error.h"

namespace simbus {

namespace we = platform::win_error;
using namespace wire;

namespace {

// Requests that decode but ask for more than a well-behaved client ever does.
std::string refusal(const IoControlRequest& r) {
  if (r.outputSize > kMaxIoBytes || r.input.size() > kMaxIoBytes) {
    return "io-control buffer larger than " + std::to_string(kMaxIoBytes) + " bytes";
  }
  if (!r.outputData.empty() && r.outputData.size() != r.outputSize) {
    return "io-control output data does not match its size";
  }
  return {};
}

template <class Req>
std::string refusal(const Req&) {
  return {};
}

}  // namespace

DaemonSession::~DaemonSession() {
  for (HandleId id : handles_) bus_.close(id);
}

template <>
HelloRequest::Reply DaemonSession::run(const HelloRequest&) {
  return {};
}

template <>
PresentPathsRequest::Reply DaemonSession::run(const PresentPathsRequest&) {
  PresentPathsRequest::Reply reply;
  for (auto& [path, node] : bus_.presentNodes()) {
    reply.paths.push_back(std::move(path));
    reply.nodes.push_back(node);
  }
  return reply;
}

template <>
OpenRequest::Reply DaemonSession::run(const OpenRequest& r) {
  if (handles_.size() >= kMaxHandlesPerSession) return {we::NotEnoughMemory, 0};
  OpenRequest::Reply reply;
  reply.status = bus_.open(r.path, reply.handle);
  if (reply.status == we::Success) handles_.insert(reply.handle);
  return reply;
}

template <>
DoneReply DaemonSession::run(const CloseRequest& r) {
  // Only the connection that opened a handle may close it.
  if (handles_.erase(r.handle) != 0) bus_.close(r.handle);
  return {};
}

template <>
IoReply DaemonSession::run(const IoControlRequest& r) {
  if (!handles_.contains(r.handle)) {
    IoReply reply;
    reply.error = we::InvalidHandle;
    return reply;
  }
  std::vector<uint8_t> output = r.outputData;
  output.resize(r.outputSize);
  return bus_.ioControl(r.handle, r.code, r.input, output);
}

template <>
StatusReply DaemonSession::run(const ChangeDeviceNodeStateRequest& r) {
  return {
      bus_.changeDeviceNodeState(r.node, static_cast<platform::vhpd::DeviceNodeChange>(r.change))};
}

template <>
StatusValueReply DaemonSession::run(const DeviceInstallFlagsRequest& r) {
  StatusValueReply reply;
  reply.status = bus_.deviceInstallFlags(r.node, reply.value);
  return reply;
}

template <>
StatusValueReply DaemonSession::run(const DeviceNodeRightsRequest&) {
  return {we::Success, bus_.deviceNodeChangesAllowed() ? 1u : 0u};
}

template <>
StatusReply DaemonSession::run(const OpenSettingsKeyRequest& r) {
  return {bus_.openSettingsKey(r.key)};
}

template <>
StatusValueReply DaemonSession::run(const ReadSettingRequest& r) {
  StatusValueReply reply;
  reply.status = bus_.readSetting(r.key, r.name, reply.value);
  return reply;
}

template <>
StatusReply DaemonSession::run(const WriteSettingRequest& r) {
  return {bus_.writeSetting(r.key, r.name, r.value)};
}

template <>
StatusReply DaemonSession::run(const RestartRequest&) {
  return {bus_.restart()};
}

template <>
DoneReply DaemonSession::run(const SubscribeRequest&) {
  subscribed_ = true;
  return {};
}

template <>
PlugRequest::Reply DaemonSession::run(const PlugRequest& r) {
  PlugRequest::Reply reply;
  const std::vector<UnitStatus> known = bus_.units();
  const bool isKnown = std::any_of(known.begin(), known.end(), [&](const UnitStatus& u) {
    return r.spec.serialLow != 0 && u.serialLow == r.spec.serialLow;
  });
  if (!isKnown && known.size() >= kMaxKnownUnits) {
    reply.error = "the bus already knows " + std::to_string(kMaxKnownUnits) + " units";
    return reply;
  }
  reply.serial = bus_.plug(r.spec, &reply.error);
  return reply;
}

template <>
PlugRequest::Reply DaemonSession::run(const PlugReplacingRequest& r) {
  PlugRequest::Reply reply;
  reply.serial = bus_.plugReplacing(r.spec, &reply.error);
  return reply;
}

template <>
SettingsKeyRequest::Reply DaemonSession::run(const SettingsKeyRequest& r) {
  if (r.present) bus_.setSettingsKeyPresent(r.model, *r.present);
  return {bus_.settingsKeyPresent(r.model), bus_.storedRate(r.model)};
}

template <>
FlagReply DaemonSession::run(const UnplugRequest& r) {
  return {bus_.unplug(r.serial)};
}

template <>
UnitsRequest::Reply DaemonSession::run(const UnitsRequest&) {
  return {bus_.units()};
}

template <>
DriverRequest::Reply DaemonSession::run(const DriverRequest&) {
  return {bus_.driver(), bus_.generation()};
}

template <>
DoneReply DaemonSession::run(const SetDriverVersionRequest& r) {
  bus_.setDriverVersion(r.major, r.minor);
  return {};
}

template <>
FlagReply DaemonSession::run(const SetDriverRateRequest& r) {
  return {bus_.setDriverRate(r.hz)};
}

template <>
DoneReply DaemonSession::run(const SetStreamingRequest& r) {
  bus_.setStreaming(r.on);
  return {};
}

template <>
DoneReply DaemonSession::run(const SetInstallFlagsRequest& r) {
  bus_.setInstallFlags(r.flags);
  return {};
}

template <>
FlagReply DaemonSession::run(const SetLockedRequest& r) {
  if (r.input < static_cast<uint8_t>(SyncInput::Spdif) ||
      r.input > static_cast<uint8_t>(SyncInput::Wordclock)) {
    return {false};
  }
  return {bus_.setLocked(r.serial, static_cast<SyncInput>(r.input), r.locked)};
}

template <>
FlagReply DaemonSession::run(const SetStandaloneRequest& r) {
  return {bus_.setStandalone(r.serial, r.on)};
}

template <>
DoneReply DaemonSession::run(const SetRejoinDelayRequest& r) {
  bus_.setRejoinDelay(r.milliseconds);
  return {};
}

template <>
FlagReply DaemonSession::run(const TurnKnobRequest& r) {
  return {bus_.withUnit(r.serial, [&](SimUnit& unit) { unit.turnKnob(r.position); })};
}

template <>
FlagReply DaemonSession::run(const PressButtonRequest& r) {
  if (r.button > static_cast<uint8_t>(FrontPanelButton::Mute)) return {false};
  return {bus_.withUnit(
      r.serial, [&](SimUnit& unit) { unit.pressButton(static_cast<FrontPanelButton>(r.button)); })};
}

template <>
PeekRequest::Reply DaemonSession::run(const PeekRequest& r) {
  return {bus_.peek(r.serial, r.index)};
}

template <>
FlagReply DaemonSession::run(const PokeRequest& r) {
  return {bus_.poke(r.serial, r.index, r.value)};
}

template <>
AcceptedTransfersRequest::Reply DaemonSession::run(const AcceptedTransfersRequest& r) {
  return {bus_.acceptedTransfers(r.serial)};
}

template <>
FlagReply DaemonSession::run(const SetAcceptedTransfersRequest& r) {
  return {bus_.setAcceptedTransfers(r.serial, r.accepts)};
}

template <>
ResultReply DaemonSession::run(const AddFaultRequest& r) {
  if (bus_.faults().size() >= kMaxFaultRules) {
    return {false, "the bus already holds " + std::to_string(kMaxFaultRules) + " fault rules"};
  }
  if (!bus_.addFault(r.rule)) return {false, faultRuleProblem(r.rule)};
  return {true, {}};
}

template <>
DoneReply DaemonSession::run(const ClearFaultsRequest&) {
  bus_.clearFaults();
  return {};
}

template <>
FaultsRequest::Reply DaemonSession::run(const FaultsRequest&) {
  return {bus_.faults()};
}

template <>
DoneReply DaemonSession::run(const StopRequest&) {
  stopRequested_ = true;
  return {};
}

std::optional<std::vector<uint8_t>> DaemonSession::handle(const Frame& frame, std::string* error) {
  std::optional<Request> request = decodeRequest(frame, error);
  if (!request) return std::nullopt;
  return std::visit(
      [&](const auto& r) -> std::optional<std::vector<uint8_t>> {
        using Req = std::decay_t<decltype(r)>;
        std::string why = refusal(r);
        if (!why.empty()) {
          if (error) *error = std::move(why);
          return std::nullopt;
        }
        return encodeReply<Req>(run(r));
      },
      *request);
}

}  // namespace simbus
