#include "fwdl/device_enumeration.h"

#include <new>

#include "fwdl/guid_string.h"
#include "fwdl/logging/library_log.h"
#include "platform/vhpd_client.h"
#include "platform/win_error.h"

namespace fwdl {

namespace pv = platform::vhpd;
namespace we = platform::win_error;

DeviceEnumeration::~DeviceEnumeration() {
  CloseDevice();
}

KVOFWDL_STATUS DeviceEnumeration::Enumerate(const char* guidString) {
  if (set_) {
    if (unit_) {
      Log(LogType::Error, "Enumeration failed because an open device was found\n");
      return KVOFWDL_STATUS_DEVICE_STILL_OPEN;
    }
    set_.reset();
    guid_ = {};
  }
  pv::Guid guid;
  if (GuidFromString(guidString, guid) != 0) return KVOFWDL_STATUS_INVALID_GUID_STRING;
  DeviceInfoSet set;
  std::vector<pv::PresentInterface> interfaces;
  if (pv::client().presentDeviceNodes(guid, interfaces) != we::Success) {
    Log(LogType::Error, "enumeration of devices with guid %s failed\n", guidString);
    return KVOFWDL_STATUS_ENUMERATION_FAILED;
  }
  for (pv::PresentInterface& found : interfaces) {
    set.devicePaths.push_back(std::move(found.path));
    set.deviceNodes.push_back(std::move(found.node));
  }
  guid_ = guid;
  set_ = std::move(set);
  return KVOFWDL_STATUS_SUCCESS;
}

KVOFWDL_STATUS DeviceEnumeration::CountDevices(uint32_t& count) const {
  count = 0;
  if (!set_) {
    Log(LogType::Error, "counting devices at index %u aborted: windows error code = 0x%08X\n", 0u,
        we::InvalidHandle);
    return KVOFWDL_STATUS_COUNTING_FAILED;
  }
  count = static_cast<uint32_t>(set_->devicePaths.size());
  return KVOFWDL_STATUS_SUCCESS;
}

KVOFWDL_STATUS DeviceEnumeration::OpenDevice(uint32_t index) {
  if (!set_) {
    Log(LogType::Error, "open device before enumeration has taken place\n");
    return KVOFWDL_STATUS_NOT_ENUMERATED;
  }
  if (unit_) {
    Log(LogType::Error, "open device found while opening another one\n");
    return KVOFWDL_STATUS_DEVICE_ALREADY_OPEN;
  }
  auto unit = std::unique_ptr<KvoFwdlDevice>(new (std::nothrow) KvoFwdlDevice);
  if (!unit) return KVOFWDL_STATUS_FAILED;
  if (const KVOFWDL_STATUS status = unit->Open(index, InfoSet(), &guid_);
      status != KVOFWDL_STATUS_SUCCESS) {
    return status;
  }
  unit_ = std::move(unit);
  return KVOFWDL_STATUS_SUCCESS;
}

void DeviceEnumeration::CloseDevice() {
  unit_.reset();
}

}  // namespace fwdl
