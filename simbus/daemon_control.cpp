#include "simbus/daemon_control.h"

#include "simbus/daemon_connection.h"
#include "simbus/wire_protocol.h"

namespace simbus {

namespace {
constexpr int kStopWaitMs = 5000;
}  // namespace

std::unique_ptr<DaemonControl> DaemonControl::connect(const std::string& socketPath,
                                                      std::string* error) {
  std::shared_ptr<DaemonConnection> connection = DaemonConnection::open(socketPath, error);
  if (!connection) return nullptr;
  return std::make_unique<DaemonControl>(std::move(connection));
}

DaemonControl::DaemonControl(std::shared_ptr<DaemonConnection> connection)
    : connection_(std::move(connection)) {}

DaemonControl::~DaemonControl() = default;

template <class Req>
std::optional<typename Req::Reply> DaemonControl::call(const Req& request) {
  std::optional<typename Req::Reply> reply = connection_->call(request);
  if (!reply) error_ = connection_->lostReason();
  return reply;
}

bool DaemonControl::fail(std::string reason) {
  error_ = std::move(reason);
  return false;
}

std::optional<uint32_t> DaemonControl::plug(const UnitSpec& spec) {
  std::optional<wire::PlugRequest::Reply> reply = call(wire::PlugRequest{spec});
  if (!reply) return std::nullopt;
  if (!reply->serial) fail(reply->error.empty() ? "the unit was refused" : reply->error);
  return reply->serial;
}

std::optional<uint32_t> DaemonControl::plugReplacing(const UnitSpec& spec) {
  std::optional<wire::PlugRequest::Reply> reply = call(wire::PlugReplacingRequest{spec});
  if (!reply) return std::nullopt;
  if (!reply->serial) fail(reply->error.empty() ? "the unit was refused" : reply->error);
  return reply->serial;
}

std::optional<DaemonControl::SettingsKeyStatus> DaemonControl::settingsKey(
    Model model, std::optional<bool> present) {
  std::optional<wire::SettingsKeyRequest::Reply> reply =
      call(wire::SettingsKeyRequest{model, present});
  if (!reply) return std::nullopt;
  return SettingsKeyStatus{reply->present, reply->sampleRate};
}

bool DaemonControl::unplug(uint32_t serial) {
  std::optional<wire::FlagReply> reply = call(wire::UnplugRequest{serial});
  if (!reply) return false;
  return reply->ok || fail("unit " + std::to_string(serial) + " is not on the bus");
}

std::optional<std::vector<UnitStatus>> DaemonControl::units() {
  std::optional<wire::UnitsRequest::Reply> reply = call(wire::UnitsRequest{});
  if (!reply) return std::nullopt;
  return std::move(reply->units);
}

std::optional<DaemonControl::DriverStatus> DaemonControl::driver() {
  std::optional<wire::DriverRequest::Reply> reply = call(wire::DriverRequest{});
  if (!reply) return std::nullopt;
  return DriverStatus{reply->driver, reply->generation};
}

bool DaemonControl::setDriverVersion(uint8_t major, uint8_t minor) {
  return call(wire::SetDriverVersionRequest{major, minor}).has_value();
}

bool DaemonControl::setDriverRate(uint32_t hz) {
  std::optional<wire::FlagReply> reply = call(wire::SetDriverRateRequest{hz});
  if (!reply) return false;
  return reply->ok || fail("the driver does not run at " + std::to_string(hz) + " Hz");
}

bool DaemonControl::setStreaming(bool on) {
  return call(wire::SetStreamingRequest{on}).has_value();
}

bool DaemonControl::setRejoinDelay(uint32_t milliseconds) {
  return call(wire::SetRejoinDelayRequest{milliseconds}).has_value();
}

bool DaemonControl::setLocked(uint32_t serial, SyncInput input, bool locked) {
  const auto reply = call(wire::SetLockedRequest{serial, static_cast<uint8_t>(input), locked});
  return reply && (reply->ok || fail("no unit with serial " + std::to_string(serial)));
}

bool DaemonControl::setStandalone(uint32_t serial, bool on) {
  const auto reply = call(wire::SetStandaloneRequest{serial, on});
  return reply && (reply->ok || fail("no unit with serial " + std::to_string(serial)));
}

bool DaemonControl::turnKnob(uint32_t serial, uint8_t position) {
  const auto reply = call(wire::TurnKnobRequest{serial, position});
  return reply && (reply->ok || fail("no unit with serial " + std::to_string(serial)));
}

bool DaemonControl::pressButton(uint32_t serial, FrontPanelButton button) {
  const auto reply = call(wire::PressButtonRequest{serial, static_cast<uint8_t>(button)});
  return reply && (reply->ok || fail("no unit with serial " + std::to_string(serial)));
}

bool DaemonControl::setInstallFlags(uint32_t flags) {
  return call(wire::SetInstallFlagsRequest{flags}).has_value();
}

std::optional<uint32_t> DaemonControl::peek(uint32_t serial, uint32_t index) {
  std::optional<wire::PeekRequest::Reply> reply = call(wire::PeekRequest{serial, index});
  if (!reply) return std::nullopt;
  if (!reply->value) {
    fail("no coefficient " + std::to_string(index) + " on unit " + std::to_string(serial));
  }
  return reply->value;
}

bool DaemonControl::poke(uint32_t serial, uint32_t index, uint32_t value) {
  std::optional<wire::FlagReply> reply = call(wire::PokeRequest{serial, index, value});
  if (!reply) return false;
  return reply->ok ||
         fail("no coefficient " + std::to_string(index) + " on unit " + std::to_string(serial));
}

std::optional<AcceptedTransfers> DaemonControl::acceptedTransfers(uint32_t serial) {
  std::optional<wire::AcceptedTransfersRequest::Reply> reply =
      call(wire::AcceptedTransfersRequest{serial});
  if (!reply) return std::nullopt;
  if (!reply->accepts) fail("no unit " + std::to_string(serial));
  return reply->accepts;
}

bool DaemonControl::setAcceptedTransfers(uint32_t serial, const AcceptedTransfers& accepts) {
  std::optional<wire::FlagReply> reply = call(wire::SetAcceptedTransfersRequest{serial, accepts});
  if (!reply) return false;
  return reply->ok || fail("no unit " + std::to_string(serial));
}

bool DaemonControl::addFault(const FaultRule& rule) {
  std::optional<wire::ResultReply> reply = call(wire::AddFaultRequest{rule});
  if (!reply) return false;
  return reply->ok || fail(reply->error);
}

bool DaemonControl::clearFaults() {
  return call(wire::ClearFaultsRequest{}).has_value();
}

std::optional<std::vector<FaultRule>> DaemonControl::faults() {
  std::optional<wire::FaultsRequest::Reply> reply = call(wire::FaultsRequest{});
  if (!reply) return std::nullopt;
  return std::move(reply->rules);
}

bool DaemonControl::stop() {
  if (!call(wire::StopRequest{})) return false;
  return connection_->waitUntilClosed(kStopWaitMs) ||
         fail("the simulated bus did not stop within " + std::to_string(kStopWaitMs / 1000) + " s");
}

}  // namespace simbus
