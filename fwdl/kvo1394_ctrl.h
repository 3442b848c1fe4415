// The driver channel to one unit: its device handle from the device-interface enumeration,
// the channel's synchronous driver queries under the channel lock, and asynchronous 1394
// reads and writes waited for with an optional bound.
//
// CKvo1394CtrlImpl: the library's driver channel to one unit.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "platform/vhpd_client.h"

namespace fwdl {

// The present device interfaces of one GUID as one enumeration found them (what SetupAPI
// calls the device information set): their device paths in order, and each one's device node
// in that set. A unit's node is disabled and enabled through it: once disabled, the unit is
// no longer among the present interfaces and could not be found again.
struct DeviceInfoSet {
  std::vector<std::string> devicePaths;
  std::vector<std::shared_ptr<platform::vhpd::DeviceNode>> deviceNodes;
};

// A wait without a bound (INFINITE).
inline constexpr uint32_t kWaitForever = 0xFFFFFFFF;

class CKvo1394CtrlImpl {
 public:
  CKvo1394CtrlImpl() = default;
  virtual ~CKvo1394CtrlImpl() = default;
  CKvo1394CtrlImpl(const CKvo1394CtrlImpl&) = delete;
  CKvo1394CtrlImpl& operator=(const CKvo1394CtrlImpl&) = delete;

  // Opens interface `index` of `set` and checks the driver's interface version (2.14 or a
  // later 2.x). 0, a KVO_STATUS_ value or a Windows error.
  uint32_t Open(uint32_t index, const DeviceInfoSet* set, const platform::vhpd::Guid* guid);
  // Closes the device handle.
  void CloseChannel();
  bool HasHandle() const { return handle_ != nullptr; }
  // The device path of the last open, kept across closes.
  const std::string& DevicePath() const { return devicePath_; }
  // The device node of the last open (from the enumeration's set), kept across closes.
  const std::shared_ptr<platform::vhpd::DeviceNode>& DeviceNode() const { return deviceNode_; }

  // An asynchronous write or read at the 48-bit `address`, waited for up to `waitMs`
  // (kWaitForever: no bound); on expiry the request is cancelled and KVO_STATUS_TIMEOUT
  // returned. `transferred` is the byte count the driver reports.
  uint32_t AsyncWriteSync(uint64_t address, const void* data, uint32_t length,
                          uint32_t& transferred, uint32_t waitMs);
  uint32_t AsyncReadSync(uint64_t address, void* buffer, uint32_t length, uint32_t& transferred,
                         uint32_t waitMs);

  // A synchronous query of the driver under the channel lock: `code` without input, its reply
  // in `output`. KVO_STATUS_NOT_OPEN without a handle.
  uint32_t QueryDriver(uint32_t code, std::span<uint8_t> output);

 protected:
  // Opens `path` for reading and writing, overlapped (CreateFile): 0 or a Windows error.
  uint32_t OpenHandle(const std::string& path);

 private:
  uint32_t AsyncTransfer(uint32_t code, uint64_t address, std::span<uint8_t> buffer,
                         uint32_t& transferred, uint32_t waitMs);

  std::unique_ptr<platform::vhpd::DeviceHandle> handle_;
  std::mutex channelLock_;
  std::string devicePath_;
  std::shared_ptr<platform::vhpd::DeviceNode> deviceNode_;
};

}  // namespace fwdl
