// The driver channel: one per process, on the 1394 driver's control device, for driver-wide
// requests (interface version, the driver's sample rate, the streaming counters).
//
// CKvo1394Driver: the channel to the bus driver itself.
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
  // A synchronous request; KVO_STATUS_DRIVER_NOT_OPEN while closed. Its wait is bounded
  // (KVO_STATUS_TIMEOUT).
  uint32_t Request(uint32_t code, const void* input, uint32_t inputLength, void* output,
                   uint32_t outputLength);
  // A request asked again and again from the GUI thread (the idle pass's rate and streaming
  // polls). After a request the driver left unanswered, polls back off: until the next try is
  // due (kRetryDelaysMs after each time-out, growing) they answer KVO_STATUS_TIMEOUT at once
  // instead of waiting again, so the window keeps answering. Any answered request ends it.
  uint32_t Poll(uint32_t code, const void* input, uint32_t inputLength, void* output,
                uint32_t outputLength);
  // Whether polls are backing off now (the driver did not answer, the next try is not due).
  bool BackingOff() const;

  static constexpr uint32_t kRetryDelaysMs[] = {5000, 15000, 30000, 60000};

 private:
  // The request on `handle`, its time-out noted for the back-off; the lock is held.
  uint32_t requestLocked(platform::vhpd::DeviceHandle& handle, uint32_t code, const void* input,
                         uint32_t inputLength, void* output, uint32_t outputLength);

  mutable std::mutex lock_;
  std::unique_ptr<platform::vhpd::DeviceHandle> handle_;
  uint32_t timeoutsInARow_ = 0;
  uint32_t nextTryTick_ = 0;  // while timeoutsInARow_ > 0
};

}  // namespace velmora
