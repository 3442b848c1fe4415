#include "control_panel/device/device_info_set.h"

#include "platform/vhpd_client.h"

namespace velmora {

namespace we = platform::win_error;

std::unique_ptr<DeviceInfoSet> DeviceInfoSet::Get(const platform::vhpd::Guid& guid) {
  std::vector<std::string> paths;
  if (platform::vhpd::client().presentInterfaces(guid, paths) != we::Success) return nullptr;
  return std::unique_ptr<DeviceInfoSet>(new DeviceInfoSet(guid, std::move(paths)));
}

uint32_t DeviceInfoSet::EnumInterface(const platform::vhpd::Guid& guid, uint32_t index,
                                      std::string& devicePath) const {
  if (guid != guid_ || index >= paths_.size()) return we::NoMoreItems;
  devicePath = paths_[index];
  return we::Success;
}

}  // namespace velmora
