// The driver's control device, opened around each stop or start of all audio devices.
//
// KvoStaticDevice: the driver's control device, which stops and starts all audio devices.
#pragma once

#include <memory>
#include <string>

#include "fwdl/include/dun_fwdl.h"
#include "platform/vhpd_client.h"

namespace fwdl {

class KvoStaticDevice {
 public:
  // `name`: "\\.\{...}", see ControlDeviceName.
  explicit KvoStaticDevice(std::string name) : name_(std::move(name)) {}

  [[nodiscard]] KVOFWDL_STATUS StopAllDevices();
  [[nodiscard]] KVOFWDL_STATUS StartAllDevices();

 private:
  [[nodiscard]] KVOFWDL_STATUS Send(uint32_t code, const char* operation);

  std::string name_;
  std::unique_ptr<platform::vhpd::DeviceHandle> handle_;
};

}  // namespace fwdl
