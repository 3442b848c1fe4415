// The driver channel: one per process, on the 1394 driver's control device, for driver-wide
// requests (interface version, the driver's sample rate, the streaming counters).
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/vhpd_client.h"

namespace velmora {

class CKvo1394Driver {
 public:
  CKvo1394Driver() = default;
  ~CKvo1394Driver() { Close(); }
  CKvo1394Driver(const CKvo1394Driver&) = delete;
  CKvo1394Driver& operator=(const CKvo1394Driver&) = delete;

  // Opens the control device and checks the interface version (2.13 or a later 2.x).
  // Returns 0 at once when already open; else 0, the Windows error of the open,
  // the failing request's status or KVO_STATUS_VERSION_MISMATCH.
  uint32_t Open();
  // Safe when closed.
  void Close();
  bool IsOpen() const;
  // A synchronous request; KVO_STATUS_DRIVER_NOT_OPEN while closed.
  uint32_t Request(uint32_t code, const void* input, uint32_t inputLength, void* output,
                   uint32_t outputLength);

 private:
  mutable std::mutex lock_;
  std::unique_ptr<platform::vhpd::DeviceHandle> handle_;
};

}  // namespace velmora
