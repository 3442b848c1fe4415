// A unit opened for a download: the driver channel opened by enumeration index, the
// manufacturer check, the unit's description for callers, its reset into and out of the boot
// loader with the reopen that follows, and the cycling of its device node.
//
// KvoFwdlDevice: the unit opened for a download.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "fwdl/include/dun_fwdl.h"
#include "fwdl/kvo_device.h"

namespace fwdl {

class KvoFwdlDevice : public KvoDevice {
 public:
  KvoFwdlDevice() = default;
  ~KvoFwdlDevice() override;

  // Opens interface `index` of `set` and accepts the unit if its information block carries
  // the expected manufacturer id. Left closed on any failure.
  [[nodiscard]] KVOFWDL_STATUS Open(uint32_t index, const DeviceInfoSet* set, const platform::vhpd::Guid* guid);
  void Close();
  // Reads the information block, waiting up to `waitMs`, unless it is known and `force` is
  // false; fills `record` when given.
  [[nodiscard]] KVOFWDL_STATUS GetDeviceInfo(KVOFWDL_DEVICE_INFO* record, bool force,
                               uint32_t waitMs = kInfoReadWaitMs);

  // ---- Reset (the unit drops off the bus and comes back) ----

  // Opens the kept device path again, trying every 50 ms for up to `timeoutMs`, and accepts
  // the unit only with the unique id `savedGuid` (8 bytes as stored in the block).
  [[nodiscard]] KVOFWDL_STATUS Reopen(const std::array<uint8_t, 8>& savedGuid, uint32_t timeoutMs);
  // Resets a protocol-1/2 unit (which may stay on the bus) or a protocol-3 unit (which always
  // leaves it) to `type` (RESET_START_APPLICATION or RESET_HALT_IN_BOOTLOADER) and waits for
  // it to answer in that mode.
  [[nodiscard]] KVOFWDL_STATUS ResetProt1and2(int type);
  [[nodiscard]] KVOFWDL_STATUS ResetProt3(int type);

  // ---- Device node ----

  [[nodiscard]] KVOFWDL_STATUS SetState(platform::vhpd::DeviceNodeChange change, bool& rebootRequired);
  // Closes the handle (the unit keeps its open flag) and disables the device node.
  [[nodiscard]] KVOFWDL_STATUS Disable(bool& rebootRequired);
  [[nodiscard]] KVOFWDL_STATUS Enable(bool& rebootRequired);
  [[nodiscard]] KVOFWDL_STATUS IsRebootRequired(bool& rebootRequired);
  // Whether this process may disable and enable the node at all (asked before a download
  // touches the unit): 0 with `allowed` set, or 1 when the question cannot be answered.
  [[nodiscard]] KVOFWDL_STATUS MayChangeState(bool& allowed);

 private:
  [[nodiscard]] KVOFWDL_STATUS CheckBootloaderMode(int type, const char* notHalted, const char* notStarted);

  std::string devicePath_;
  std::array<char, 256> deviceText1_{};
  std::array<char, 80> deviceText2_{};
};

}  // namespace fwdl
