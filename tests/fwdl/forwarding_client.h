// A driver that passes every call to another one: the base of test drivers that change or
// record what the opened handles do (they override `open`).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/vhpd_client.h"

namespace fwdl::test {

class ForwardingClient : public platform::vhpd::VhpdClient {
 public:
  explicit ForwardingClient(std::shared_ptr<platform::vhpd::VhpdClient> inner)
      : inner_(std::move(inner)) {}

  uint32_t presentInterfaces(const platform::vhpd::Guid& guid,
                             std::vector<std::string>& paths) override {
    return inner_->presentInterfaces(guid, paths);
  }
  uint32_t open(const std::string& path, platform::vhpd::OpenMode mode,
                std::unique_ptr<platform::vhpd::DeviceHandle>& handle) override {
    return inner_->open(path, mode, handle);
  }
  uint32_t presentDeviceNodes(const platform::vhpd::Guid& guid,
                              std::vector<platform::vhpd::PresentInterface>& interfaces) override {
    return inner_->presentDeviceNodes(guid, interfaces);
  }
  uint32_t openDriverSettingsKey(const std::string& key) override {
    return inner_->openDriverSettingsKey(key);
  }
  uint32_t readDriverSetting(const std::string& key, const std::string& name,
                             uint32_t& value) override {
    return inner_->readDriverSetting(key, name, value);
  }
  uint32_t writeDriverSetting(const std::string& key, const std::string& name,
                              uint32_t value) override {
    return inner_->writeDriverSetting(key, name, value);
  }
  uint32_t requestRestart() override { return inner_->requestRestart(); }
  std::unique_ptr<platform::vhpd::Subscription> subscribeBusChanges(
      std::function<void()> onChange) override {
    return inner_->subscribeBusChanges(std::move(onChange));
  }
  // The same bus: its units' locks are the inner driver's.
  std::string busName() const override { return inner_->busName(); }

 protected:
  platform::vhpd::VhpdClient& inner() { return *inner_; }

 private:
  std::shared_ptr<platform::vhpd::VhpdClient> inner_;
};

}  // namespace fwdl::test
