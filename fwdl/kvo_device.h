// The boot loader's request/response protocol over the driver channel: a 64-byte request with
// a code and a 16-bit id written to the request window, the response window polled until the
// answer with the same code and id arrives or the request's time-out expires; the download
// primitives built on it and the reading of the unit's information block.
//
// KvoDevice: a unit as its boot loader answers it: requests, download steps, information.
#pragma once

#include <array>
#include <cstdint>

#include "fwdl/include/dun_fwdl.h"
#include "fwdl/kvo1394_ctrl.h"
#include "fwdl/unit_info.h"
#include "platform/vhpd_protocol.h"

namespace fwdl {

class DownloadStatus;
class KwfFile;

// The boot loader's windows in the unit's address space.
inline constexpr uint64_t kInfoBlockAddress =
    platform::vhpd::busAddress(unit_info::kAddressHigh, unit_info::kAddressLow);
inline constexpr uint64_t kRequestAddress = platform::vhpd::busAddress(0xFFFF, 0xC8021000);
inline constexpr uint64_t kRequestDataAddress = platform::vhpd::busAddress(0xFFFF, 0xC8021040);
inline constexpr uint64_t kResponseAddress = platform::vhpd::busAddress(0xFFFF, 0xC8029000);

// A request or a response: 16 little-endian words.
using BootloaderRecord = std::array<uint8_t, 64>;
using BootloaderRequest = BootloaderRecord;
using BootloaderResponse = BootloaderRecord;

enum RequestCode : uint8_t {
  REQ_RESET = 2,
  REQ_DOWNLOAD_START = 4,
  REQ_DOWNLOAD_BLOCK = 5,
  REQ_DOWNLOAD_END = 6,
  REQ_PROGRAM_GUID = 10,
  REQ_INIT_PERS_PARAMS = 12,
};

enum ObjectType : uint32_t { OBJ_PROGRAM = 0, OBJ_CNE = 1, OBJ_BOOTLOADER = 3 };

enum ResetType : int { RESET_START_APPLICATION = 0, RESET_HALT_IN_BOOTLOADER = 1 };

enum TimeoutIndex : uint32_t {
  TIMEOUT_RESET = 0,
  TIMEOUT_DOWNLOAD_START = 1,
  TIMEOUT_DOWNLOAD_BLOCK = 2,
  TIMEOUT_DOWNLOAD_END = 3,
  TIMEOUT_PROGRAM_GUID = 4,
  TIMEOUT_INIT_PERS_PARAMS = 5,
};
inline constexpr size_t kTimeoutCount = 6;

// How long a read of the information block may take outside a reset, where no time-out of the
// protocol applies: a unit that does not answer it within this is not answering.
inline constexpr uint32_t kInfoReadWaitMs = 5000;

// What remains of `limitMs` after `elapsedMs`; never less than nothing.
constexpr uint32_t TimeLeft(uint32_t limitMs, uint32_t elapsedMs) {
  return elapsedMs >= limitMs ? 0 : limitMs - elapsedMs;
}

class KvoDevice : public CKvo1394CtrlImpl {
 public:
  KvoDevice() = default;
  // Virtual operations in the protocol's slot order.
  ~KvoDevice() override = default;
  [[nodiscard]] virtual KVOFWDL_STATUS SetTimeout(uint32_t index, uint32_t milliseconds);
  [[nodiscard]] virtual KVOFWDL_STATUS DownloadStart(uint32_t objectType, const KwfFile& file,
                                                     uint32_t& maxBlock);
  [[nodiscard]] virtual KVOFWDL_STATUS DownloadBlock(uint32_t sequenceNumber, uint32_t address,
                                                     const uint8_t* data, uint32_t size);
  [[nodiscard]] virtual KVOFWDL_STATUS DownloadObject(uint32_t objectType, KwfFile& file,
                                                      DownloadStatus& progress);
  [[nodiscard]] virtual KVOFWDL_STATUS DownloadEnd(uint32_t& crc);
  [[nodiscard]] virtual KVOFWDL_STATUS ProgramGuid(uint32_t first, uint32_t second);
  [[nodiscard]] virtual KVOFWDL_STATUS InitPersParams();
  // 0, or the driver's status or Windows error; KVO_STATUS_LENGTH_MISMATCH for a short
  // transfer. A failed Read leaves `buffer` zero.
  [[nodiscard]] virtual uint32_t Read(uint64_t address, void* buffer, uint32_t length,
                                      uint32_t waitMs);
  [[nodiscard]] virtual uint32_t Write(uint64_t address, const void* buffer, uint32_t length,
                                       uint32_t waitMs);
  // Waits up to kInfoReadWaitMs for the block.
  [[nodiscard]] virtual KVOFWDL_STATUS ReadDeviceInfo();
  [[nodiscard]] virtual KVOFWDL_STATUS RequestReset(uint32_t resetType);
  [[nodiscard]] virtual KVOFWDL_STATUS RequestDownloadStart(uint32_t objectType,
                                                            const KwfFile& file);
  [[nodiscard]] virtual KVOFWDL_STATUS RequestDownloadBlock(uint32_t sequenceNumber,
                                                            uint32_t address, uint32_t size);
  [[nodiscard]] virtual KVOFWDL_STATUS RequestDownloadEnd();
  [[nodiscard]] virtual KVOFWDL_STATUS WriteRequest(uint8_t code, BootloaderRequest& request);
  [[nodiscard]] virtual KVOFWDL_STATUS ReadResponse(BootloaderResponse& response,
                                                    uint32_t timeoutMs);
  [[nodiscard]] virtual KVOFWDL_STATUS WriteRequestData(const uint8_t* data, uint32_t size);
  [[nodiscard]] virtual KVOFWDL_STATUS GetResetGenCount(uint32_t& count);

  // Set only when the unit has been accepted.
  bool IsOpen() const { return open_; }
  // Open and holding its handle. A unit whose device node was cycled keeps its open flag but
  // has no handle until it is opened again: nothing can be sent to it.
  bool IsUsable() const { return open_ && HasHandle(); }
  // The information block as last read; zero after a close.
  const UnitInfo& Info() const { return info_; }
  uint32_t Timeout(uint32_t index) const { return timeouts_.at(index); }

  // ReadDeviceInfo with the read waited for up to `waitMs`.
  [[nodiscard]] KVOFWDL_STATUS ReadDeviceInfoWithin(uint32_t waitMs);

 protected:
  UnitInfo info_;
  bool open_ = false;

 private:
  uint32_t requestId_ = 0;  // runs on for the object's life; its low 16 bits are sent
  uint32_t lastKey_ = 0;    // code << 16 | id of the last request written
  std::array<uint32_t, kTimeoutCount> timeouts_{60000, 40000, 1000, 70000, 30000, 30000};
};

}  // namespace fwdl
