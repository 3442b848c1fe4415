// The units of one device interface: the enumeration that finds them, their count, and the
// one unit a caller opens for a download.
//
// DeviceEnumeration: the units found and the one that is open; one per process.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "fwdl/include/dun_fwdl.h"
#include "fwdl/kvo1394_ctrl.h"
#include "fwdl/kvo_fwdl_device.h"

namespace fwdl {

class DeviceEnumeration {
 public:
  DeviceEnumeration() = default;
  ~DeviceEnumeration();
  DeviceEnumeration(const DeviceEnumeration&) = delete;
  DeviceEnumeration& operator=(const DeviceEnumeration&) = delete;

  // Finds the present units of the interface `guidString` ("{...}"); refused while a unit is
  // open.
  [[nodiscard]] KVOFWDL_STATUS Enumerate(const char* guidString);
  [[nodiscard]] KVOFWDL_STATUS CountDevices(uint32_t& count) const;
  // Opens unit `index` of the last enumeration as the open unit.
  [[nodiscard]] KVOFWDL_STATUS OpenDevice(uint32_t index);
  // Closes and deletes the open unit.
  void CloseDevice();

  KvoFwdlDevice* OpenUnit() const { return unit_.get(); }
  // Null before the first enumeration.
  const DeviceInfoSet* InfoSet() const { return set_ ? &*set_ : nullptr; }
  const platform::vhpd::Guid& InterfaceGuid() const { return guid_; }

 private:
  platform::vhpd::Guid guid_{};
  std::optional<DeviceInfoSet> set_;
  std::unique_ptr<KvoFwdlDevice> unit_;
};

}  // namespace fwdl
