// One simulated Velmora PRO unit: its identity, its 1394 address space (coefficients, the
// block-set mailbox, the information block) and its AV/C coefficient commands.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "simbus/fault_plan.h"
#include "simbus/sim_bootloader.h"
#include "simbus/unit_model.h"

namespace simbus {

// Which transactions the unit answers; a refused one answers NotSupported.
struct AcceptedTransfers {
  bool blockRead = true;
  bool quadletRead = true;
  bool blockWrite = true;
  bool quadletWrite = true;
  friend bool operator==(const AcceptedTransfers&, const AcceptedTransfers&) = default;
};

// Transfers a unit has answered or refused, by kind, since it was made (not persisted).
struct TransferCounts {
  uint64_t blockRead = 0;
  uint64_t quadletRead = 0;
  uint64_t blockWrite = 0;
  uint64_t quadletWrite = 0;
  uint64_t fcp = 0;
  uint64_t total() const { return blockRead + quadletRead + blockWrite + quadletWrite + fcp; }
  void count(TransferKind kind);
  friend bool operator==(const TransferCounts&, const TransferCounts&) = default;
};

struct UnitSpec {
  Model model = Model::Studio;
  uint32_t serialLow = 0;  // 0: the bus picks a free serial
  uint32_t serialHigh = kDefaultSerialHigh;
  uint32_t protocol = kDefaultProtocol;
  uint32_t firmware = kDefaultFirmware;
};

class SimUnit {
 public:
  explicit SimUnit(const UnitSpec& spec);

  Model model() const { return spec_.model; }
  uint32_t serialLow() const { return spec_.serialLow; }
  uint32_t serialHigh() const { return spec_.serialHigh; }
  uint64_t uniqueId() const { return uint64_t{spec_.serialHigh} << 32 | spec_.serialLow; }
  uint32_t protocol() const { return spec_.protocol; }
  uint32_t firmware() const { return spec_.firmware; }
  // Counterpart of a firmware file's SoftwareId; 3 on a Studio, 6 on a Compact from the
  // factory, then what the last configuration download brought.
  uint32_t softwareId() const { return softwareId_; }
  void setSoftwareId(uint32_t id) { softwareId_ = id; }
  const UnitSpec& spec() const { return spec_; }

  // The 104-byte information block as the unit answers it.
  std::array<uint8_t, kInfoBlockSize> infoBlock() const;

  // Classifies a transfer the way the driver sends it.
  static TransferKind readKind(size_t length) {
    return length == 4 ? TransferKind::QuadletRead : TransferKind::BlockRead;
  }
  static TransferKind writeKind(size_t length) {
    return length == 4 ? TransferKind::QuadletWrite : TransferKind::BlockWrite;
  }

  // 1394 asynchronous read/write at a 48-bit offset. Returns 0 or a Windows error
  // (NotSupported for a refused transaction kind, InvalidAddress outside the map).
  uint32_t read(uint64_t address, std::span<uint8_t> out) const;
  uint32_t write(uint64_t address, std::span<const uint8_t> data);

  // An AV/C command frame in, the response frame out.
  std::vector<uint8_t> avcTransaction(std::span<const uint8_t> command);

  uint32_t coefficient(size_t index) const { return coefficients_.at(index); }
  // Sets a coefficient directly, as a test probe would. The sync and status words are the
  // firmware's own: setting them sets the selected source, or the status and lock bits.
  void setCoefficient(size_t index, uint32_t value);
  const std::array<uint32_t, kCoefficientCount>& coefficients() const { return coefficients_; }

  // ---- Firmware ----

  // The unit starts (again): coefficients from its flash, or factory settings before the
  // first store.
  void powerOn();
  // A write changed the unit's AV/C model (a rate band, the ADAT inputs), or reset it from its
  // boot loader: it must leave the bus and come back. Cleared by asking.
  bool takeRejoinRequest();
  void setLocked(SyncInput input, bool locked);
  bool locked(SyncInput input) const;
  // The front panel: the volume knob (the low 8 bits of coefficient 86, 0-255; read-only over
  // the bus) and the dim and mute buttons (87, 88), which toggle with each press.
  void turnKnob(uint8_t position);
  void pressButton(FrontPanelButton button);
  // Running standalone (status bit 3) until released with 0xA5A5 in coefficient 114.
  void setStandalone(bool on);
  // What the last store to flash kept; empty before the first store.
  const std::optional<std::array<uint32_t, kCoefficientCount>>& flash() const { return flash_; }
  void setFlash(const std::array<uint32_t, kCoefficientCount>& contents) { flash_ = contents; }

  // Every coefficient write that reached the firmware over the bus, oldest first (at most
  // kWriteLogSize; tests read the order of writes from it).
  static constexpr size_t kWriteLogSize = 4096;
  const std::vector<std::pair<uint32_t, uint32_t>>& writeLog() const { return writeLog_; }
  // How many coefficient writes the firmware received in all (the log keeps the last ones).
  uint64_t writeCount() const { return writeCount_; }

  // ---- Boot loader (the windows at 0xFFFF:C8021000, ...C8021040 and ...C8029000) ----
  SimBootloader& bootloader() { return bootloader_; }
  const SimBootloader& bootloader() const { return bootloader_; }

  AcceptedTransfers accepts;

 private:
  // Takes the firmware the boot loader installed (after a good download), if any.
  void takeInstalledFirmware();
  // A coefficient written over the bus: the firmware reacts to it.
  void writeCoefficient(size_t index, uint32_t value);
  // Recomputes the sync and status words from the unit's state.
  void refreshDerived();

  UnitSpec spec_;
  std::array<uint32_t, kCoefficientCount> coefficients_{};
  std::optional<std::array<uint32_t, kCoefficientCount>> flash_;
  std::array<bool, 4> locks_{};  // S/PDIF, ADAT 1, ADAT 2, wordclock
  bool playOk_ = true;
  bool recordOk_ = true;
  bool writeOk_ = true;
  bool standalone_ = false;
  bool rejoinRequested_ = false;
  uint32_t softwareId_;
  SimBootloader bootloader_;
  std::vector<std::pair<uint32_t, uint32_t>> writeLog_;
  uint64_t writeCount_ = 0;
};

}  // namespace simbus
