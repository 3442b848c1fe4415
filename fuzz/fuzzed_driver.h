// The driver of a fuzz target: one unit at "\\?\fuzz", opened as `Handle` over the target's
// `Input`, whose device node takes every change; settings are absent and nothing restarts.
// Each target brings the handle that turns its input into device answers.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/vhpd_client.h"
#include "platform/win_error.h"

namespace fuzzing {

class AcceptingNode final : public platform::vhpd::DeviceNode {
 public:
  uint32_t changeState(platform::vhpd::DeviceNodeChange) override { return 0; }
  uint32_t mayChangeState(bool& allowed) override {
    allowed = true;
    return 0;
  }
  uint32_t installFlags(uint32_t& flags) override {
    flags = 0;
    return 0;
  }
};

template <typename Handle, typename Input>
class FuzzedDriver final : public platform::vhpd::VhpdClient {
 public:
  explicit FuzzedDriver(Input& input) : input_(input) {}
  uint32_t presentInterfaces(const platform::vhpd::Guid&,
                             std::vector<std::string>& paths) override {
    paths = {kPath};
    return 0;
  }
  uint32_t open(const std::string&, platform::vhpd::OpenMode,
                std::unique_ptr<platform::vhpd::DeviceHandle>& h) override {
    h = std::make_unique<Handle>(input_);
    return 0;
  }
  uint32_t presentDeviceNodes(const platform::vhpd::Guid&,
                              std::vector<platform::vhpd::PresentInterface>& interfaces) override {
    interfaces = {{kPath, std::make_shared<AcceptingNode>()}};
    return 0;
  }
  uint32_t openDriverSettingsKey(const std::string&) override { return 0; }
  uint32_t readDriverSetting(const std::string&, const std::string&, uint32_t&) override {
    return platform::win_error::FileNotFound;
  }
  uint32_t writeDriverSetting(const std::string&, const std::string&, uint32_t) override {
    return 0;
  }
  uint32_t requestRestart() override { return 0; }
  std::unique_ptr<platform::vhpd::Subscription> subscribeBusChanges(
      std::function<void()>) override {
    return std::make_unique<platform::vhpd::Subscription>();
  }

 private:
  static constexpr const char* kPath = "\\\\?\\fuzz";
  Input& input_;
};

}  // namespace fuzzing
