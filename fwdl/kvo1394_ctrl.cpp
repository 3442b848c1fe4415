#include "fwdl/kvo1394_ctrl.h"

#include <optional>

#include "platform/win_error.h"

namespace fwdl {

namespace pv = platform::vhpd;
namespace we = platform::win_error;

namespace {

// The driver interface this library is written for: 2.14 or a later minor version of 2.
constexpr uint8_t kDriverMajor = 2;
constexpr uint8_t kDriverMinorAtLeast = 14;

std::optional<uint32_t> Bound(uint32_t waitMs) {
  return waitMs == kWaitForever ? std::nullopt : std::optional<uint32_t>(waitMs);
}

}  // namespace

uint32_t CKvo1394CtrlImpl::OpenHandle(const std::string& path) {
  std::unique_ptr<pv::DeviceHandle> handle;
  const uint32_t error = pv::client().open(path, pv::OpenMode::Overlapped, handle);
  if (error != we::Success) return error;
  handle_ = std::move(handle);
  return we::Success;
}

uint32_t CKvo1394CtrlImpl::Open(uint32_t index, const DeviceInfoSet* set, const pv::Guid* guid) {
  if (handle_) return pv::KVO_STATUS_ALREADY_OPEN;
  if (set == nullptr || guid == nullptr) return pv::KVO_STATUS_INVALID_PARAMETER;
  devicePath_.clear();
  deviceNode_.reset();
  if (index >= set->devicePaths.size()) return pv::KVO_STATUS_NO_MORE_ITEMS;
  devicePath_ = set->devicePaths[index];
  if (index < set->deviceNodes.size()) deviceNode_ = set->deviceNodes[index];
  if (OpenHandle(devicePath_) != we::Success) return pv::KVO_STATUS_OPEN_FAILED;

  std::array<uint8_t, pv::kDriverInfoSize> driverInfo{};
  uint32_t result = QueryDriver(pv::IOCTL_VHPD_GET_DRIVER_INFO, driverInfo);
  if (result == we::Success &&
      (driverInfo[0] != kDriverMajor || driverInfo[1] < kDriverMinorAtLeast)) {
    result = pv::KVO_STATUS_VERSION_MISMATCH;
  }
  if (result == we::Success) {
    std::array<uint8_t, pv::kDeviceFlagsSize> flags{};  // asked for, not used
    result = QueryDriver(pv::IOCTL_VHPD_GET_DEVICE_FLAGS, flags);
  }
  if (result != we::Success) CloseChannel();
  return result;
}

void CKvo1394CtrlImpl::CloseChannel() {
  handle_.reset();
}

uint32_t CKvo1394CtrlImpl::QueryDriver(uint32_t code, std::span<uint8_t> output) {
  std::lock_guard lock(channelLock_);
  if (!handle_) return pv::KVO_STATUS_NOT_OPEN;
  return pv::completeIo(handle_->ioControl(code, {}, output)).error;
}

uint32_t CKvo1394CtrlImpl::AsyncTransfer(uint32_t code, uint64_t address, std::span<uint8_t> buffer,
                                         uint32_t& transferred, uint32_t waitMs) {
  transferred = 0;
  if (!handle_) return pv::KVO_STATUS_NOT_OPEN;
  const auto request = pv::makeAsyncRequest(address);
  const pv::IoResult result =
      pv::completeIo(handle_->ioControl(code, request, buffer), Bound(waitMs));
  if (result.error == we::WaitTimeout) return pv::KVO_STATUS_TIMEOUT;
  transferred = result.bytesReturned;
  return result.error;
}

uint32_t CKvo1394CtrlImpl::AsyncWriteSync(uint64_t address, const void* data, uint32_t length,
                                          uint32_t& transferred, uint32_t waitMs) {
  // The data travels in the request's output buffer, which the driver only reads for a write;
  // a copy keeps the caller's buffer const.
  const auto* bytes = static_cast<const uint8_t*>(data);
  std::vector<uint8_t> payload(bytes, bytes + length);
  return AsyncTransfer(pv::IOCTL_VHPD_ASYNC_WRITE, address, payload, transferred, waitMs);
}

uint32_t CKvo1394CtrlImpl::AsyncReadSync(uint64_t address, void* buffer, uint32_t length,
                                         uint32_t& transferred, uint32_t waitMs) {
  return AsyncTransfer(pv::IOCTL_VHPD_ASYNC_READ, address,
                       std::span(static_cast<uint8_t*>(buffer), length), transferred, waitMs);
}

}  // namespace fwdl
