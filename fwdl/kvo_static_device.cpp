#include "fwdl/kvo_static_device.h"

#include "fwdl/logging/library_log.h"
#include "platform/win_error.h"

namespace fwdl {

namespace pv = platform::vhpd;
namespace we = platform::win_error;

KVOFWDL_STATUS KvoStaticDevice::Send(uint32_t code, const char* operation) {
  Log(LogType::Info, "[KvoStaticDevice::%s\n", operation);
  if (!handle_) {
    if (const uint32_t error = pv::client().open(name_, pv::OpenMode::Synchronous, handle_);
        error != we::Success) {
      Log(LogType::Error, "opening static device \"%s\" failed with error = 0x%08X\n",
          name_.c_str(), error);
      Log(LogType::Error, "%s: Open static device failed with KVOFWDL_STATUS 0x%08X\n", operation,
          KVOFWDL_STATUS_FAILED);
      return KVOFWDL_STATUS_FAILED;
    }
  }
  const uint32_t error = pv::completeIo(handle_->ioControl(code, {}, {})).error;
  handle_.reset();  // the control device is opened for one request at a time
  if (error != we::Success) {
    Log(LogType::Error, "%s: DeviceIoControl failed with error = 0x%08X\n", operation, error);
    return KVOFWDL_STATUS_FAILED;
  }
  Log(LogType::Info, "]KvoStaticDevice::%s\n", operation);
  return KVOFWDL_STATUS_SUCCESS;
}

KVOFWDL_STATUS KvoStaticDevice::StopAllDevices() {
  return Send(pv::IOCTL_VHPD_STOP_ALL_DEVICES, "StopAllDevices");
}

KVOFWDL_STATUS KvoStaticDevice::StartAllDevices() {
  return Send(pv::IOCTL_VHPD_START_ALL_DEVICES, "StartAllDevices");
}

}  // namespace fwdl
