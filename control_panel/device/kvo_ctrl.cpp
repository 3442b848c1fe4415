#include "control_panel/device/kvo_ctrl.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <vector>

#include "control_panel/device/device_info_set.h"
#include "control_panel/device/driver_version.h"
#include "platform/unit_update_lock.h"

namespace velmora {

namespace pv = platform::vhpd;
namespace we = platform::win_error;

namespace {

uint32_t statusOf(const pv::IoResult& result) {
  return result.error == we::WaitTimeout ? pv::KVO_STATUS_TIMEOUT : result.error;
}

}  // namespace

uint32_t CKvoCtrl::Open(uint32_t index, const DeviceInfoSet* set) {
  if (handle_) return pv::KVO_STATUS_ALREADY_OPEN;
  if (!set) return pv::KVO_STATUS_INVALID_PARAMETER;
  devicePath_.clear();

  std::string path;
  const uint32_t found = set->EnumInterface(pv::kInterfaceGuid, index, path);
  if (found == we::NoMoreItems) return pv::KVO_STATUS_NO_MORE_ITEMS;
  if (found != we::Success) return found;
  devicePath_ = path;

  if (pv::client().open(path, pv::OpenMode::Overlapped, handle_) != we::Success) {
    handle_.reset();
    return pv::KVO_STATUS_OPEN_FAILED;
  }

  uint8_t info[pv::kDriverInfoSize] = {};
  uint32_t status = Request(pv::IOCTL_VHPD_GET_DRIVER_INFO, nullptr, 0, info, sizeof info);
  if (status == we::Success && !IsSupportedDriverVersion(info[0], info[1])) {
    status = pv::KVO_STATUS_VERSION_MISMATCH;
  }
  if (status == we::Success) {
    uint8_t flags[pv::kDeviceFlagsSize] = {};
    status = Request(pv::IOCTL_VHPD_GET_DEVICE_FLAGS, nullptr, 0, flags, sizeof flags);
  }
  if (status != we::Success) Close();
  return status;
}

void CKvoCtrl::Close() {
  handle_.reset();
}

uint32_t CKvoCtrl::Request(uint32_t code, const void* input, uint32_t inputLength, void* output,
                           uint32_t outputLength) {
  if (!handle_) return pv::KVO_STATUS_NOT_OPEN;
  std::lock_guard guard(lock_);
  const std::span<const uint8_t> in(static_cast<const uint8_t*>(input), input ? inputLength : 0);
  const std::span<uint8_t> out(static_cast<uint8_t*>(output), output ? outputLength : 0);
  return statusOf(pv::completeIo(handle_->ioControl(code, in, out), kRequestWaitMs));
}

uint32_t CKvoCtrl::transfer(uint32_t code, const uint8_t* request, uint8_t* data, uint32_t length,
                            uint32_t* transferred) {
  if (transferred) *transferred = 0;
  if (!handle_) return pv::KVO_STATUS_NOT_OPEN;
  if (BeingUpdated()) return we::Busy;
  const pv::IoResult result = pv::completeIo(
      handle_->ioControl(code, {request, pv::kAsyncRequestSize}, {data, length}), kTransferWaitMs);
  if (transferred) *transferred = result.bytesReturned;
  return statusOf(result);
}

uint32_t CKvoCtrl::AsyncWrite(uint32_t length, const uint8_t* request, const uint8_t* data) {
  // The driver only reads a write's data buffer (it carries data into the driver).
  return transfer(pv::IOCTL_VHPD_ASYNC_WRITE, request, const_cast<uint8_t*>(data), length, nullptr);
}

uint32_t CKvoCtrl::AsyncRead(uint32_t length, const uint8_t* request, uint8_t* buffer,
                             uint32_t* transferred) {
  return transfer(pv::IOCTL_VHPD_ASYNC_READ, request, buffer, length, transferred);
}

uint32_t CKvoCtrl::FcpTransaction(const uint8_t* command, uint32_t commandLength, uint8_t* response,
                                  uint32_t responseCapacity, uint32_t* responseLength) {
  if (responseLength) *responseLength = 0;
  if (commandLength > pv::kFcpMaxFrame) return pv::KVO_STATUS_FRAME_TOO_LONG;
  if (handle_ && BeingUpdated()) return we::Busy;
  std::vector<uint8_t> request(pv::kFcpRequestSize, 0);
  pv::storeLe32(request.data(), pv::kFcpTimeoutMs);
  pv::storeLe32(request.data() + 4, commandLength);
  if (commandLength > 0) std::memcpy(request.data() + 8, command, commandLength);
  std::vector<uint8_t> reply(pv::kFcpResponseSize, 0);
  const uint32_t status =
      Request(pv::IOCTL_VHPD_FCP_TRANSACTION, request.data(), static_cast<uint32_t>(request.size()),
              reply.data(), static_cast<uint32_t>(reply.size()));
  if (status != we::Success) return status;
  const uint32_t length = std::min<uint32_t>(
      {pv::loadLe32(reply.data()), static_cast<uint32_t>(pv::kFcpMaxFrame), responseCapacity});
  if (length > 0 && response) std::memcpy(response, reply.data() + 4, length);
  if (responseLength) *responseLength = length;
  return we::Success;
}

bool CKvoCtrl::BeingUpdated() const {
  return platform::unitIsBeingUpdated(devicePath_);
}

}  // namespace velmora
