#include "platform/win32/vhpd_driver.h"

namespace platform::vhpd::win32 {

namespace {

class DriverClient final : public VhpdClient {
 public:
  uint32_t presentInterfaces(const Guid& guid, std::vector<std::string>& paths) override {
    return enumerateInterfaces(guid, paths);
  }

  uint32_t open(const std::string& path, OpenMode mode,
                std::unique_ptr<DeviceHandle>& handle) override {
    return openDevice(path, mode, handle);
  }

  uint32_t presentDeviceNodes(const Guid& guid,
                              std::vector<PresentInterface>& interfaces) override {
    return enumerateDeviceNodes(guid, interfaces);
  }

  uint32_t openDriverSettingsKey(const std::string& key) override { return openSettingsKey(key); }
  uint32_t readDriverSetting(const std::string& key, const std::string& name,
                             uint32_t& value) override {
    return readSetting(key, name, value);
  }
  uint32_t writeDriverSetting(const std::string& key, const std::string& name,
                              uint32_t value) override {
    return writeSetting(key, name, value);
  }

  uint32_t requestRestart() override { return restartComputer(); }

  std::unique_ptr<Subscription> subscribeBusChanges(std::function<void()> onChange) override {
    return watchInterfaces(kInterfaceGuid, std::move(onChange));
  }
};

}  // namespace

std::shared_ptr<VhpdClient> makeDriverClient() {
  return std::make_shared<DriverClient>();
}

GUID toWindowsGuid(const Guid& guid) {
  GUID result{};
  result.Data1 = guid.data1;
  result.Data2 = guid.data2;
  result.Data3 = guid.data3;
  for (size_t i = 0; i < guid.data4.size(); ++i) result.Data4[i] = guid.data4[i];
  return result;
}

uint32_t fromLastError(DWORD error) {
  switch (error) {
    case ERROR_SUCCESS:
      return win_error::GenFailure;
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_NAME:
      return win_error::FileNotFound;
    default:
      return error;
  }
}

}  // namespace platform::vhpd::win32
