// The platform's names first: setupapi.h defines some of them as macros of the same values.
#include "platform/win32/vhpd_driver.h"

#include <setupapi.h>

#include <memory>
#include <vector>

#include "platform/user_rights.h"

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

// One device node of an interface set. Windows drops a disabled node's interface from the
// present ones, so the node is kept with its set from the enumeration through disable and
// enable; the install flags the class installer leaves are read from the same set.
class SetupNode final : public DeviceNode {
 public:
  SetupNode(std::shared_ptr<InterfaceSet> set, const SP_DEVINFO_DATA& node)
      : set_(std::move(set)), node_(node) {}

  uint32_t changeState(DeviceNodeChange change) override {
    SP_PROPCHANGE_PARAMS params{};
    params.ClassInstallHeader.cbSize = sizeof(SP_CLASSINSTALL_HEADER);
    params.ClassInstallHeader.InstallFunction = DIF_PROPERTYCHANGE;
    params.StateChange = change == DeviceNodeChange::Enable ? DICS_ENABLE : DICS_DISABLE;
    params.Scope = DICS_FLAG_GLOBAL;
    params.HwProfile = 0;
    if (!SetupDiSetClassInstallParamsA(set_->handle(), &node_, &params.ClassInstallHeader,
                                       sizeof params) ||
        !SetupDiCallClassInstaller(DIF_PROPERTYCHANGE, set_->handle(), &node_)) {
      return fromLastError(GetLastError());
    }
    changed_ = true;
    return win_error::Success;
  }

  uint32_t mayChangeState(bool& allowed) override { return userIsAdministrator(allowed); }

  uint32_t installFlags(uint32_t& flags) override {
    flags = 0;
    if (!changed_) return win_error::NotFound;
    SP_DEVINSTALL_PARAMS_A install{};
    install.cbSize = sizeof install;
    if (!SetupDiGetDeviceInstallParamsA(set_->handle(), &node_, &install)) {
      return fromLastError(GetLastError());
    }
    flags = install.Flags & (DI_NEEDRESTART | DI_NEEDREBOOT);
    return win_error::Success;
  }

 private:
  std::shared_ptr<InterfaceSet> set_;
  SP_DEVINFO_DATA node_;
  bool changed_ = false;
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

uint32_t enumerateDeviceNodes(const Guid& guid, std::vector<PresentInterface>& interfaces) {
  interfaces.clear();
  auto set = std::make_shared<InterfaceSet>(toWindowsGuid(guid));
  if (!set->valid()) return fromLastError(GetLastError());
  for (DWORD index = 0;; ++index) {
    std::string path;
    SP_DEVINFO_DATA node{};
    const uint32_t result = set->entry(index, path, node);
    if (result == ERROR_NO_MORE_ITEMS) return win_error::Success;
    if (result != win_error::Success) return result;
    interfaces.push_back({std::move(path), std::make_shared<SetupNode>(set, node)});
  }
}

}  // namespace platform::vhpd::win32
