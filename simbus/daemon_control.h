// Control of a running simulated-bus daemon over its socket, for the velmora-simbus commands
// and tests.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "simbus/fault_plan.h"
#include "simbus/sim_bus.h"
#include "simbus/sim_unit.h"

namespace simbus {

class DaemonConnection;

// Control of a running daemon: units, the driver model, direct coefficient access, faults.
// Every operation returns its result, or false / nullopt with the reason in error().
class DaemonControl {
 public:
  // nullptr with the reason in `error` when no daemon answers at `socketPath`.
  static std::unique_ptr<DaemonControl> connect(const std::string& socketPath, std::string* error);

  explicit DaemonControl(std::shared_ptr<DaemonConnection> connection);
  ~DaemonControl();
  DaemonControl(const DaemonControl&) = delete;
  DaemonControl& operator=(const DaemonControl&) = delete;

  const std::string& error() const { return error_; }

  // Attaches a unit; its serial.
  std::optional<uint32_t> plug(const UnitSpec& spec);
  // Attaches a unit in place of the known one with its serial (off the bus).
  std::optional<uint32_t> plugReplacing(const UnitSpec& spec);
  bool unplug(uint32_t serial);
  std::optional<std::vector<UnitStatus>> units();

  struct DriverStatus {
    DriverState driver;
    uint32_t generation = 0;
  };
  std::optional<DriverStatus> driver();
  bool setDriverVersion(uint8_t major, uint8_t minor);
  bool setDriverRate(uint32_t hz);
  bool setStreaming(bool on);
  bool setInstallFlags(uint32_t flags);
  bool setRejoinDelay(uint32_t milliseconds);
  bool setLocked(uint32_t serial, SyncInput input, bool locked);
  bool setStandalone(uint32_t serial, bool on);
  struct SettingsKeyStatus {
    bool present = false;
    std::optional<uint32_t> sampleRate;
  };
  // Takes a model's driver settings key away or brings it back when `present` is given.
  std::optional<SettingsKeyStatus> settingsKey(Model model, std::optional<bool> present);
  bool turnKnob(uint32_t serial, uint8_t position);
  bool pressButton(uint32_t serial, FrontPanelButton button);

  std::optional<uint32_t> peek(uint32_t serial, uint32_t index);
  bool poke(uint32_t serial, uint32_t index, uint32_t value);
  std::optional<AcceptedTransfers> acceptedTransfers(uint32_t serial);
  bool setAcceptedTransfers(uint32_t serial, const AcceptedTransfers& accepts);

  bool addFault(const FaultRule& rule);
  bool clearFaults();
  std::optional<std::vector<FaultRule>> faults();

  // Asks the daemon to stop and waits (at most a few seconds) until it has gone.
  bool stop();

 private:
  template <class Req>
  std::optional<typename Req::Reply> call(const Req& request);
  bool fail(std::string reason);

  std::shared_ptr<DaemonConnection> connection_;
  std::string error_;
};

}  // namespace simbus
