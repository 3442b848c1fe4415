// The set of present device interfaces of a GUID, taken once (SetupDiGetClassDevs with
// DIGCF_PRESENT | DIGCF_DEVICEINTERFACE) and enumerated by index. The owner frees it by
// destroying it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/vhpd_protocol.h"

namespace velmora {

class DeviceInfoSet {
 public:
  // The present interfaces of `guid` now; null when the driver cannot give a set.
  static std::unique_ptr<DeviceInfoSet> Get(const platform::vhpd::Guid& guid);

  const platform::vhpd::Guid& guid() const { return guid_; }
  // SetupDiEnumDeviceInterfaces + the interface detail: the device path of interface `index`
  // of `guid`; 0, or the Windows error (NoMoreItems past the end).
  uint32_t EnumInterface(const platform::vhpd::Guid& guid, uint32_t index,
                         std::string& devicePath) const;
  size_t size() const { return paths_.size(); }

 private:
  DeviceInfoSet(const platform::vhpd::Guid& guid, std::vector<std::string> paths)
      : guid_(guid), paths_(std::move(paths)) {}
  platform::vhpd::Guid guid_;
  std::vector<std::string> paths_;
};

}  // namespace velmora
