// The parts of choosing a bus that every platform shares: the in-process bus and the bus that
// cannot be reached.
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>

#include "simbus/backend.h"
#include "simbus/inproc_client.h"

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
  uint32_t presentDeviceNodes(const pv::Guid&,
                              std::vector<pv::PresentInterface>& interfaces) override {
    interfaces.clear();
    return we::Success;
  }
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

// With VELMORA_SIMBUS_END_STATE naming a file, every in-process bus appends to it, as the
// program ends, what it left on its units and its driver: a bus that goes with the program
// can then still be examined by whoever started it (a window test under Wine).
class EndStateReport {
 public:
  ~EndStateReport() {
    std::lock_guard lock(mutex_);
    if (buses_.empty()) return;
    std::ofstream out(path_, std::ios::app | std::ios::binary);
    for (const auto& bus : buses_) out << describeEndState(*bus);
  }

  void keep(std::shared_ptr<SimBus> bus) {
    const char* path = std::getenv("VELMORA_SIMBUS_END_STATE");
    if (path == nullptr || *path == '\0') return;
    std::lock_guard lock(mutex_);
    path_ = path;
    buses_.push_back(std::move(bus));
  }

 private:
  std::mutex mutex_;
  std::string path_;
  std::vector<std::shared_ptr<SimBus>> buses_;
};

EndStateReport& endStateReport() {
  static EndStateReport report;
  return report;
}

}  // namespace

std::string describeEndState(const SimBus& bus) {
  std::ostringstream out;
  out << "bus restarts=" << bus.driver().restarts << '\n';
  for (const UnitStatus& unit : bus.units()) {
    std::string model(modelName(unit.model));
    for (char& c : model) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    out << "unit serial=" << unit.serialLow << " model=" << model
        << " firmware=" << formatFirmware(unit.firmware) << " on-bus=" << (unit.onBus ? 1 : 0)
        << '\n';
  }
  return out.str();
}

std::shared_ptr<pv::VhpdClient> makeUnreachableBus() {
  return std::make_shared<UnreachableBus>();
}

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

bool selectsInprocBus(std::string_view value) {
  return value == "inproc" || value.starts_with("inproc:");
}

std::shared_ptr<pv::VhpdClient> makeInprocBus(std::string_view value, std::string& error) {
  const auto models =
      value == "inproc" ? std::vector<Model>{Model::Studio} : parseInprocUnits(value.substr(7));
  if (!models) {
    error = "VELMORA_SIMBUS: unknown unit model in \"" + std::string(value) + "\"";
    return nullptr;
  }
  auto bus = std::make_shared<SimBus>();
  for (Model model : *models) bus->plug(UnitSpec{model});
  endStateReport().keep(bus);
  return makeInprocClient(bus);
}

}  // namespace simbus
