#include "control_panel/device/kvo1394_driver.h"

#include <algorithm>
#include <iterator>
#include <span>
#include <string>

#include "control_panel/device/driver_version.h"
#include "control_panel/device/kvo_ctrl.h"
#include "platform/clock.h"

namespace velmora {

namespace pv = platform::vhpd;
namespace we = platform::win_error;

uint32_t CKvo1394Driver::requestLocked(pv::DeviceHandle& handle, uint32_t code, const void* input,
                                       uint32_t inputLength, void* output, uint32_t outputLength) {
  const std::span<const uint8_t> in(static_cast<const uint8_t*>(input), input ? inputLength : 0);
  const std::span<uint8_t> out(static_cast<uint8_t*>(output), output ? outputLength : 0);
  // A driver that never answers must not freeze the GUI thread: the wait is bounded like the
  // unit channel's synchronous requests.
  const pv::IoResult result = pv::completeIo(handle.ioControl(code, in, out), kRequestWaitMs);
  if (result.error != we::WaitTimeout) {
    timeoutsInARow_ = 0;
    return result.error;
  }
  constexpr size_t kDelays = std::size(kRetryDelaysMs);
  nextTryTick_ = platform::clock().tickCount() +
                 kRetryDelaysMs[std::min<size_t>(timeoutsInARow_, kDelays - 1)];
  ++timeoutsInARow_;
  return pv::KVO_STATUS_TIMEOUT;
}

uint32_t CKvo1394Driver::Open() {
  std::lock_guard guard(lock_);
  if (handle_) return we::Success;
  const std::string path = std::string("\\\\.\\") + pv::kInterfaceGuidText;
  std::unique_ptr<pv::DeviceHandle> handle;
  const uint32_t error = pv::client().open(path, pv::OpenMode::Overlapped, handle);
  if (error != we::Success) return error;
  uint8_t info[pv::kDriverInfoSize] = {};
  const uint32_t status =
      requestLocked(*handle, pv::IOCTL_VHPD_GET_DRIVER_INFO, nullptr, 0, info, sizeof info);
  if (status != we::Success) return status;
  if (!IsSupportedDriverVersion(info[0], info[1])) return pv::KVO_STATUS_VERSION_MISMATCH;
  handle_ = std::move(handle);
  return we::Success;
}

void CKvo1394Driver::Close() {
  std::lock_guard guard(lock_);
  handle_.reset();
}

bool CKvo1394Driver::BackingOff() const {
  std::lock_guard guard(lock_);
  // Tick arithmetic in unsigned differences holds across the counter's wrap.
  return timeoutsInARow_ > 0 &&
         static_cast<int32_t>(platform::clock().tickCount() - nextTryTick_) < 0;
}

bool CKvo1394Driver::IsOpen() const {
  std::lock_guard guard(lock_);
  return handle_ != nullptr;
}

uint32_t CKvo1394Driver::Request(uint32_t code, const void* input, uint32_t inputLength,
                                 void* output, uint32_t outputLength) {
  std::lock_guard guard(lock_);
  if (!handle_) return pv::KVO_STATUS_DRIVER_NOT_OPEN;
  return requestLocked(*handle_, code, input, inputLength, output, outputLength);
}

uint32_t CKvo1394Driver::Poll(uint32_t code, const void* input, uint32_t inputLength, void* output,
                              uint32_t outputLength) {
  if (BackingOff()) return pv::KVO_STATUS_TIMEOUT;
  return Request(code, input, inputLength, output, outputLength);
}

}  // namespace velmora
