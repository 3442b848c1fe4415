// The Linux driver backend: the simulated bus, chosen by VELMORA_SIMBUS.
//   unset                   the per-user daemon at its default socket, started when none runs
//   inproc[:studio,...]     a bus inside this process with those units (one Studio if none named)
//   anything else           the path of a running daemon's socket
#include <cstdlib>
#include <sstream>

#include "platform/debug_output.h"
#include "platform/vhpd_client.h"
#include "simbus/backend.h"
#include "simbus/daemon_paths.h"
#include "simbus/inproc_client.h"
#include "simbus/socket_client.h"

namespace simbus {

namespace pv = platform::vhpd;
namespace we = platform::win_error;

namespace {

// What the program sees when no bus can be reached: no units, nothing opens.
class UnreachableBus final : public pv::VhpdClient {
 public:
  uint32_t presentInterfaces(const pv::Guid&, std::vector<std::string>& paths) override {
    paths.clear();
    return we::Success;
  }
  uint32_t open(const std::string&, pv::OpenMode, std::unique_ptr<pv::DeviceHandle>&) override {
    return we::FileNotFound;
  }
  uint32_t changeDeviceNodeState(const std::string&, pv::DeviceNodeChange) override {
    return we::NotFound;
  }
  uint32_t deviceInstallFlags(const std::string&, uint32_t&) override { return we::NotFound; }
  uint32_t openDriverSettingsKey(const std::string&) override { return we::FileNotFound; }
  uint32_t readDriverSetting(const std::string&, const std::string&, uint32_t&) override {
    return we::FileNotFound;
  }
  uint32_t writeDriverSetting(const std::string&, const std::string&, uint32_t) override {
    return we::FileNotFound;
  }
  uint32_t requestRestart() override { return we::NotSupported; }
  std::unique_ptr<pv::Subscription> subscribeBusChanges(std::function<void()>) override {
    return std::make_unique<pv::Subscription>();
  }
};

}  // namespace

std::optional<std::vector<Model>> parseInprocUnits(std::string_view spec) {
  std::vector<Model> models;
  std::string list(spec);
  std::istringstream items(list);
  std::string item;
  while (std::getline(items, item, ',')) {
    const auto model = parseModel(item);
    if (!model) return std::nullopt;
    models.push_back(*model);
  }
  return models;
}

std::shared_ptr<pv::VhpdClient> makeBusClient(const char* selection) {
  const std::string value = selection ? selection : "";
  std::string error;
  if (value.empty()) {
    if (auto client = connectDaemon(defaultSocketPath(), true, &error)) return client;
  } else if (value == "inproc" || value.rfind("inproc:", 0) == 0) {
    const auto models =
        value == "inproc" ? std::vector<Model>{Model::Studio} : parseInprocUnits(value.substr(7));
    if (models) {
      auto bus = std::make_shared<SimBus>();
      for (Model model : *models) bus->plug(UnitSpec{model});
      return makeInprocClient(bus);
    }
    error = "VELMORA_SIMBUS: unknown unit model in \"" + value + "\"";
  } else {
    if (auto client = connectDaemon(value, false, &error)) return client;
  }
  platform::outputDebugString("simulated bus unreachable: " + error + "\n");
  return std::make_shared<UnreachableBus>();
}

}  // namespace simbus

std::shared_ptr<platform::vhpd::VhpdClient> platform::vhpd::makeDefaultClient() {
  return simbus::makeBusClient(std::getenv("VELMORA_SIMBUS"));
}
