// The unit channel: one per connected unit, opened through device-interface enumeration,
// for 1394 asynchronous reads and writes at 48-bit bus addresses and for AV/C transactions
// over FCP. Used from the GUI thread; owned through AVCIO.
//
// CKvoCtrl: the channel to one unit.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "platform/vhpd_client.h"

namespace velmora {

class DeviceInfoSet;

// Waits on the driver are bounded so that a hung driver cannot freeze the control panel.
// A 1394 transaction, retries included, completes within milliseconds; 2 s is far beyond any
// live unit yet short enough for the user to see the unit closed rather than a dead window.
inline constexpr uint32_t kTransferWaitMs = 2000;
// Synchronous requests include FCP transactions, which the driver itself times out after
// 4000 ms; the bound leaves it room to answer with its own status first.
inline constexpr uint32_t kRequestWaitMs = 6000;

class CKvoCtrl {
 public:
  CKvoCtrl() = default;
  ~CKvoCtrl() { Close(); }
  CKvoCtrl(const CKvoCtrl&) = delete;
  CKvoCtrl& operator=(const CKvoCtrl&) = delete;

  // Opens interface `index` of `set`: KVO_STATUS_ALREADY_OPEN (the open channel stays as it
  // is), KVO_STATUS_INVALID_PARAMETER without a set, KVO_STATUS_NO_MORE_ITEMS past the last
  // interface, KVO_STATUS_OPEN_FAILED, KVO_STATUS_VERSION_MISMATCH, or a request's status.
  uint32_t Open(uint32_t index, const DeviceInfoSet* set);
  // Safe when closed.
  void Close();
  bool IsOpen() const { return handle_ != nullptr; }
  // The device path of the opened interface (empty before the first open).
  const std::string& DevicePath() const { return devicePath_; }
  // Whether a firmware download holds the unit: then its reads, writes and FCP transactions
  // are refused with ERROR_BUSY before anything reaches the bus, as a unit being written must
  // hear from nobody else.
  bool BeingUpdated() const;

  // A synchronous request, serialised on the channel's lock.
  uint32_t Request(uint32_t code, const void* input, uint32_t inputLength, void* output,
                   uint32_t outputLength);
  // 1394 asynchronous write/read; `request` is the 16-byte AsyncRequest. Each transfer has a
  // request of its own and takes no lock.
  uint32_t AsyncWrite(uint32_t length, const uint8_t* request, const uint8_t* data);
  uint32_t AsyncRead(uint32_t length, const uint8_t* request, uint8_t* buffer,
                     uint32_t* transferred);
  // An AV/C command frame of at most 512 bytes; the response is copied up to
  // `responseCapacity` bytes and its length reported.
  uint32_t FcpTransaction(const uint8_t* command, uint32_t commandLength, uint8_t* response,
                          uint32_t responseCapacity, uint32_t* responseLength);

 private:
  uint32_t transfer(uint32_t code, const uint8_t* request, uint8_t* data, uint32_t length,
                    uint32_t* transferred);

  std::unique_ptr<platform::vhpd::DeviceHandle> handle_;
  std::mutex lock_;
  std::string devicePath_;
};

}  // namespace velmora
