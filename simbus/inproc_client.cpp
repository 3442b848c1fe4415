#include "simbus/inproc_client.h"

#include "simbus/io_delivery.h"

namespace simbus {

namespace pv = platform::vhpd;
namespace we = platform::win_error;

namespace {

class InprocHandle final : public pv::DeviceHandle {
 public:
  InprocHandle(std::shared_ptr<SimBus> bus, HandleId id, pv::OpenMode mode)
      : bus_(std::move(bus)), id_(id), mode_(mode) {}
  ~InprocHandle() override { bus_->close(id_); }

  pv::IoCall ioControl(uint32_t code, std::span<const uint8_t> input,
                       std::span<uint8_t> output) override {
    IoReply reply = bus_->ioControl(id_, code, input, output);
    return deliverReply(std::move(reply), output, mode_);
  }

 private:
  std::shared_ptr<SimBus> bus_;
  HandleId id_;
  pv::OpenMode mode_;
};

class InprocSubscription final : public pv::Subscription {
 public:
  InprocSubscription(std::shared_ptr<SimBus> bus, uint64_t id) : bus_(std::move(bus)), id_(id) {}
  ~InprocSubscription() override { bus_->unsubscribe(id_); }

 private:
  std::shared_ptr<SimBus> bus_;
  uint64_t id_;
};

class InprocNode final : public pv::DeviceNode {
 public:
  InprocNode(std::shared_ptr<SimBus> bus, NodeId node) : bus_(std::move(bus)), node_(node) {}
  uint32_t changeState(pv::DeviceNodeChange change) override {
    return bus_->changeDeviceNodeState(node_, change);
  }
  uint32_t installFlags(uint32_t& flags) override { return bus_->deviceInstallFlags(node_, flags); }
  uint32_t mayChangeState(bool& allowed) override {
    allowed = bus_->deviceNodeChangesAllowed();
    return we::Success;
  }

 private:
  std::shared_ptr<SimBus> bus_;
  NodeId node_;
};

class InprocClient final : public pv::VhpdClient {
 public:
  explicit InprocClient(std::shared_ptr<SimBus> bus) : bus_(std::move(bus)) {}

  uint32_t presentInterfaces(const pv::Guid& guid, std::vector<std::string>& paths) override {
    paths.clear();
    if (guid == pv::kInterfaceGuid) paths = bus_->presentPaths();
    return we::Success;
  }
  uint32_t open(const std::string& path, pv::OpenMode mode,
                std::unique_ptr<pv::DeviceHandle>& handle) override {
    HandleId id = 0;
    const uint32_t error = bus_->open(path, id);
    if (error != we::Success) return error;
    handle = std::make_unique<InprocHandle>(bus_, id, mode);
    return we::Success;
  }
  uint32_t presentDeviceNodes(const pv::Guid& guid,
                              std::vector<pv::PresentInterface>& interfaces) override {
    interfaces.clear();
    if (guid != pv::kInterfaceGuid) return we::Success;
    for (auto& [path, node] : bus_->presentNodes()) {
      interfaces.push_back({std::move(path), std::make_shared<InprocNode>(bus_, node)});
    }
    return we::Success;
  }
  uint32_t openDriverSettingsKey(const std::string& key) override {
    return bus_->openSettingsKey(key);
  }
  uint32_t readDriverSetting(const std::string& key, const std::string& name,
                             uint32_t& value) override {
    return bus_->readSetting(key, name, value);
  }
  uint32_t writeDriverSetting(const std::string& key, const std::string& name,
                              uint32_t value) override {
    return bus_->writeSetting(key, name, value);
  }
  uint32_t requestRestart() override { return bus_->restart(); }
  std::string busName() const override { return bus_->instanceName(); }
  std::unique_ptr<pv::Subscription> subscribeBusChanges(std::function<void()> onChange) override {
    return std::make_unique<InprocSubscription>(bus_, bus_->subscribe(std::move(onChange)));
  }

 private:
  std::shared_ptr<SimBus> bus_;
};

}  // namespace

std::shared_ptr<pv::VhpdClient> makeInprocClient(std::shared_ptr<SimBus> bus) {
  return std::make_shared<InprocClient>(std::move(bus));
}

}  // namespace simbus
