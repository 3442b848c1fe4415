// The platform's names first: setupapi.h defines some of them as macros of the same values.
#include "platform/win32/vhpd_driver.h"

#include <setupapi.h>

#include <vector>

namespace platform::vhpd::win32 {

namespace {

// A device information set of the present interfaces of a GUID; destroyed with the object.
class InterfaceSet {
 public:
  explicit InterfaceSet(const GUID& guid) : guid_(guid) {
    set_ = SetupDiGetClassDevsA(&guid_, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
  }
  ~InterfaceSet() {
    if (valid()) SetupDiDestroyDeviceInfoList(set_);
  }
  InterfaceSet(const InterfaceSet&) = delete;
  InterfaceSet& operator=(const InterfaceSet&) = delete;

  bool valid() const { return set_ != INVALID_HANDLE_VALUE; }
  HDEVINFO handle() const { return set_; }

  // The device path of interface `index` and its device node; NoMoreItems past the end.
  uint32_t entry(DWORD index, std::string& path, SP_DEVINFO_DATA& node) {
    SP_DEVICE_INTERFACE_DATA item{};
    item.cbSize = sizeof item;
    if (!SetupDiEnumDeviceInterfaces(set_, nullptr, &guid_, index, &item)) return GetLastError();
    DWORD size = 0;
    SetupDiGetDeviceInterfaceDetailA(set_, &item, nullptr, 0, &size, nullptr);
    if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) return fromLastError(GetLastError());
    std::vector<uint8_t> buffer(size);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(buffer.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
    node = {};
    node.cbSize = sizeof node;
    if (!SetupDiGetDeviceInterfaceDetailA(set_, &item, detail, size, nullptr, &node)) {
      return fromLastError(GetLastError());
    }
    path = detail->DevicePath;
    return win_error::Success;
  }

 private:
  GUID guid_;
  HDEVINFO set_;
};

}  // namespace

uint32_t enumerateInterfaces(const Guid& guid, std::vector<std::string>& paths) {
  paths.clear();
  InterfaceSet set(toWindowsGuid(guid));
  if (!set.valid()) return fromLastError(GetLastError());
  for (DWORD index = 0;; ++index) {
    std::string path;
    SP_DEVINFO_DATA node{};
    const uint32_t result = set.entry(index, path, node);
    if (result == ERROR_NO_MORE_ITEMS) return win_error::Success;
    if (result != win_error::Success) return result;
    paths.push_back(std::move(path));
  }
}

uint32_t changeNodeState(const std::string& path, DeviceNodeChange change, uint32_t& flags) {
  flags = 0;
  InterfaceSet set(toWindowsGuid(kInterfaceGuid));
  if (!set.valid()) return fromLastError(GetLastError());
  for (DWORD index = 0;; ++index) {
    std::string found;
    SP_DEVINFO_DATA node{};
    const uint32_t result = set.entry(index, found, node);
    if (result == ERROR_NO_MORE_ITEMS) return win_error::NotFound;
    if (result != win_error::Success) return result;
    if (lstrcmpiA(found.c_str(), path.c_str()) != 0) continue;

    SP_PROPCHANGE_PARAMS params{};
    params.ClassInstallHeader.cbSize = sizeof(SP_CLASSINSTALL_HEADER);
    params.ClassInstallHeader.InstallFunction = DIF_PROPERTYCHANGE;
    params.StateChange = change == DeviceNodeChange::Enable ? DICS_ENABLE : DICS_DISABLE;
    params.Scope = DICS_FLAG_GLOBAL;
    params.HwProfile = 0;
    if (!SetupDiSetClassInstallParamsA(set.handle(), &node, &params.ClassInstallHeader,
                                       sizeof params) ||
        !SetupDiCallClassInstaller(DIF_PROPERTYCHANGE, set.handle(), &node)) {
      return fromLastError(GetLastError());
    }
    SP_DEVINSTALL_PARAMS_A install{};
    install.cbSize = sizeof install;
    if (!SetupDiGetDeviceInstallParamsA(set.handle(), &node, &install)) {
      return fromLastError(GetLastError());
    }
    flags = install.Flags & (DI_NEEDRESTART | DI_NEEDREBOOT);
    return win_error::Success;
  }
}

}  // namespace platform::vhpd::win32
