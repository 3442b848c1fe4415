// The simulated 1394 bus: the driver model (VHPD control codes on the control device and on
// unit device paths), the units attached to it, the driver's settings store, device nodes,
// bus-change notifications and fault injection. Thread-safe; every client of the bus (the
// in-process client, the daemon's connections) goes through the server-side operations
// below.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/vhpd_protocol.h"
#include "simbus/fault_plan.h"
#include "simbus/sim_unit.h"

namespace simbus {

using HandleId = uint64_t;
using NodeId = uint64_t;  // a device node's number (DevInst)

// The driver's answer to one device I/O control request, before delivery: the client hands
// `output` to the caller's buffer after `delayMs`, or never when `dropped`.
struct IoReply {
  uint32_t error = 0;
  uint32_t bytesReturned = 0;
  std::vector<uint8_t> output;
  uint32_t delayMs = 0;
  bool dropped = false;
};

struct DriverState {
  uint8_t versionMajor = 2;
  uint8_t versionMinor = 14;
  uint32_t sampleRate = 48000;
  bool streaming = false;
  uint32_t installFlags = 0;      // what a device-node change reports (DI_NEEDRESTART/REBOOT)
  bool mayChangeNodes = true;     // false: the clients lack the rights; changes are refused
  uint32_t restarts = 0;          // simulated computer restarts so far
  uint32_t rejoinDelayMs = 1500;  // how long a unit that changed its AV/C model stays away
};

struct UnitStatus {
  uint32_t serialLow = 0;
  uint32_t serialHigh = 0;
  Model model = Model::Studio;
  uint32_t protocol = 0;
  uint32_t firmware = 0;
  bool onBus = false;
};

// Driver settings keys of the two models (values "SampleRate[Hz]").
using platform::vhpd::kCompactSettingsKey;
using platform::vhpd::kSampleRateValue;
using platform::vhpd::kStudioSettingsKey;

// METHOD_IN_DIRECT: the output buffer carries data into the driver.
constexpr bool carriesDataIn(uint32_t code) {
  return (code & 3) == 1;
}

class SimBus {
 public:
  SimBus();
  ~SimBus();
  SimBus(const SimBus&) = delete;
  SimBus& operator=(const SimBus&) = delete;

  // ---- Controlling the bus (tests, the velmora-simbus commands) ----

  // Attaches a unit. A serial already known re-attaches that unit with its state kept
  // (model must match). Returns the unit's serial, or nullopt with `error` set.
  std::optional<uint32_t> plug(const UnitSpec& spec, std::string* error = nullptr);
  // Attaches `spec` in place of the known unit with the same serial, which must be off the
  // bus: that unique id comes back as a new unit, of another model or not, from the factory.
  std::optional<uint32_t> plugReplacing(const UnitSpec& spec, std::string* error = nullptr);
  // Detaches a unit (it stays known, off the bus). False when not on the bus.
  bool unplug(uint32_t serial);
  std::vector<UnitStatus> units() const;
  uint32_t generation() const;
  // A name no other bus has, in this process or another (made at random when the bus is).
  const std::string& instanceName() const { return instanceName_; }

  DriverState driver() const;
  void setDriverVersion(uint8_t major, uint8_t minor);
  // False for a rate the driver does not run at; 0 is a driver that has no rate yet.
  bool setDriverRate(uint32_t hz);
  void setStreaming(bool on);
  void setInstallFlags(uint32_t flags);
  void setRejoinDelay(uint32_t milliseconds);

  // Carries out what is due on the clock (units rejoining the bus) and tells subscribers.
  // Every client request does this first; a daemon also calls it while idle.
  void service();
  // Milliseconds until something is due for service(); nullopt when nothing is waiting.
  std::optional<uint32_t> msUntilDue() const;
  // The clock input `input` of a unit is locked or not; the unit runs standalone or not.
  bool setLocked(uint32_t serial, SyncInput input, bool locked);
  bool setStandalone(uint32_t serial, bool on);

  // Direct access to a unit's coefficients, bypassing the driver.
  std::optional<uint32_t> peek(uint32_t serial, size_t index) const;
  // What the unit last stored in its flash (nullopt: unknown unit or never stored).
  std::optional<std::array<uint32_t, kCoefficientCount>> flashOf(uint32_t serial) const;
  bool poke(uint32_t serial, size_t index, uint32_t value);
  bool setAcceptedTransfers(uint32_t serial, const AcceptedTransfers& accepts);
  std::optional<AcceptedTransfers> acceptedTransfers(uint32_t serial) const;

  // The coefficient writes a unit's firmware received, oldest first.
  std::vector<std::pair<uint32_t, uint32_t>> coefficientWrites(uint32_t serial) const;
  // How many coefficient writes a unit's firmware received in all.
  uint64_t coefficientWriteCount(uint32_t serial) const;

  // Transfers that reached a unit through the driver (faulted ones included), by kind.
  std::optional<TransferCounts> transferCounts(uint32_t serial) const;

  // False (nothing added) for a rule that cannot take effect (faultRuleProblem).
  bool addFault(const FaultRule& rule);
  void clearFaults();
  std::vector<FaultRule> faults() const;

  // Runs `visit` on a unit under the bus lock (tests and later firmware features).
  bool withUnit(uint32_t serial, const std::function<void(SimUnit&)>& visit);

  // ---- The driver as its clients see it ----

  // Device paths of the present unit interfaces, in attach order.
  std::vector<std::string> presentPaths();
  // Opens a unit's device path or the control device ("\\.\{GUID}", any case).
  uint32_t open(const std::string& path, HandleId& handle);
  void close(HandleId handle);
  // DeviceIoControl. `output` is the caller's output buffer as it stands at the call: the
  // driver reads its content only for codes whose transfer method carries data into the
  // driver (carriesDataIn, e.g. IOCTL_VHPD_ASYNC_WRITE); for the others only its size
  // counts, so a remote client may send zeros of the same size.
  IoReply ioControl(HandleId handle, uint32_t code, std::span<const uint8_t> input,
                    std::span<const uint8_t> output);
  // The present interfaces with their device nodes' numbers (a unit's node number is its
  // 64-bit unique id). As on Windows a disabled node is not present, so the number is known
  // only to whoever enumerated before the disable: an enable goes through a kept number.
  std::vector<std::pair<std::string, NodeId>> presentNodes();
  uint32_t changeDeviceNodeState(NodeId node, platform::vhpd::DeviceNodeChange change);
  // Whether device-node changes are allowed to the clients (false: refused with access denied,
  // as Windows refuses a process that is not an elevated administrator).
  bool deviceNodeChangesAllowed() const;
  void setDeviceNodeChangesAllowed(bool allowed);
  // The install flags the node's last change left (NotFound for an unknown node).
  uint32_t deviceInstallFlags(NodeId node, uint32_t& flags) const;
  // The device manager's switch: enables or disables a unit's node by its serial, present or
  // not (tests, velmora-simbus). False for an unknown serial.
  bool setDeviceNodeEnabled(uint32_t serial, bool enabled);
  // The driver's settings key of a model is there or not, as on a driver installed without it.
  // A key taken away keeps its values for when it comes back; not persisted.
  bool setSettingsKeyPresent(Model model, bool present);
  bool settingsKeyPresent(Model model) const;
  // The "SampleRate[Hz]" value stored under a model's key, present or not.
  std::optional<uint32_t> storedRate(Model model) const;
  uint32_t openSettingsKey(const std::string& key) const;
  uint32_t readSetting(const std::string& key, const std::string& name, uint32_t& value) const;
  uint32_t writeSetting(const std::string& key, const std::string& name, uint32_t value);
  // A simulated computer restart: all handles die, the driver reloads its stored rate, every
  // unit on the bus leaves and comes back, disabled device nodes are enabled again.
  uint32_t restart();

  // Runs `onChange` after every bus change, outside the bus lock. Returns an id for
  // unsubscribe().
  uint64_t subscribe(std::function<void()> onChange);
  void unsubscribe(uint64_t id);

  // ---- Persistence (the daemon's --state folder) ----

  // Grows with every change of persistent state, so a saver knows when to write.
  uint64_t stateVersion() const;
  std::string saveState() const;
  // Replaces units, driver and settings with a saved state. False (bus unchanged) on any
  // malformed line, with the reason in `error`.
  bool loadState(const std::string& text, std::string* error = nullptr);

  // The device path of a unit with this unique id (stable across detach and attach).
  static std::string devicePath(uint64_t uniqueId);

 private:
  std::string instanceName_;
  struct UnitSlot;
  struct Handle;
  struct State;

  IoReply unitRequest(const Handle& h, uint32_t code, std::span<const uint8_t> input,
                      std::span<const uint8_t> output);
  bool handleLive(const Handle& h) const;
  // The fault rule that fires on a request the driver answers itself, if any.
  std::optional<FaultRule> driverRequestFault(const Handle& h, uint32_t code);
  IoReply controlRequest(uint32_t code, std::span<const uint8_t> input,
                         std::span<const uint8_t> output);
  IoReply transfer(UnitSlot& slot, uint32_t code, std::span<const uint8_t> input,
                   std::span<const uint8_t> output);
  void attachLocked(UnitSlot& slot);
  UnitSlot* findSlot(uint32_t serial) const;
  UnitSlot* slotForPath(const std::string& path) const;
  UnitSlot* slotForNode(NodeId node) const;
  // Enables or disables the node of `slot`; the lock is held.
  void setNodeEnabledLocked(UnitSlot& slot, bool enabled);
  void detachLocked(UnitSlot& slot);
  void notify(std::unique_lock<std::mutex>& lock);
  void serviceLocked();

  mutable std::mutex mutex_;
  std::unique_ptr<State> state_;
};

}  // namespace simbus
