// Arbitrary bytes as a mix file: the checks never read outside the bytes, what passes them has
// no more values than the chunk may hold, and loading what passed (the rate and ADAT questions
// answered by the input's last bit) leaves every parameter a normalised value in 0...1.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "control_panel/hal/velmora_hal.h"
#include "control_panel/mixer/mix_file_format.h"
#include "control_panel/mixer/mixer_host.h"
#include "control_panel/mixer/velmora_plugin.h"
#include "platform/clock.h"
#include "platform/vhpd_client.h"
#include "simbus/inproc_client.h"
#include "simbus/sim_bus.h"

namespace {

constexpr size_t kParameters = 181;

// Windows and dialogs do not exist here; questions get the answer the input chose.
class AnsweringUi final : public velmora::MixerUserInterface {
 public:
  bool answer = false;

  void ShowStatus(const std::string&) override {}
  void ShowMessageBox(const std::string&, const std::string&) override {}
  void ShowErrorBox(const std::string&, const std::string&) override {}
  bool AskYesNo(const std::string&, const std::string&) override { return answer; }
  void DetachPanel() override {}
  void ReattachPanel() override {}
  std::optional<std::string> ChooseSaveFile() override { return std::nullopt; }
  std::optional<std::string> ChooseLoadFile() override { return std::nullopt; }
  std::optional<std::string> EditUnitName(const std::string&) override { return std::nullopt; }
  void ShowUnitName(const std::string&) override {}
  void RefreshRateDependentState() override {}
  bool IsFloatFrameShown() override { return false; }
  void DetachLayouts() override {}
  void ShowSelectedFrame(bool) override {}
};

// The mixer over an opened Studio on an in-process bus, on a fake clock (no real sleep), with
// ADAT inputs switched off so that both questions can come up. Made once, kept for the run.
struct LoadingHost {
  platform::FakeClock clock{1000};
  platform::ScopedClock useClock{clock};
  std::shared_ptr<simbus::SimBus> bus = std::make_shared<simbus::SimBus>();
  platform::vhpd::ScopedClient useBus{simbus::makeInprocClient(bus)};
  AnsweringUi ui;
  velmora::VelmoraPlugin plugin;
  std::unique_ptr<velmora::MixerHost> host;

  LoadingHost() {
    const uint32_t serial = bus->plug({simbus::Model::Studio, 1}).value();
    bus->poke(serial, 112, 1);
    velmora::VelmoraHAL::Create(ui);
    velmora::VelmoraHAL& hal = *velmora::VelmoraHAL::Get();
    host = std::make_unique<velmora::MixerHost>(plugin, hal, ui);
    plugin.setHost(host.get());
    hal.AttachMixer(host.get());
    if (hal.Open(hal.CurrentSerial()) != 0) __builtin_trap();
    hal.GetSampleRate();
  }
};

LoadingHost& loadingHost() {
  static LoadingHost* host = new LoadingHost;  // lives as long as the fuzzing process
  return *host;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const velmora::DecodedMixFile decoded =
      velmora::DecodeMixFile(std::span<const uint8_t>(data, size), kParameters);
  if (decoded.check != velmora::MixFileCheck::Ok) return 0;
  if (decoded.values.size() > kParameters) __builtin_trap();

  LoadingHost& loading = loadingHost();
  loading.ui.answer = size > 0 && (data[size - 1] & 1) != 0;
  loading.host->applyLoadedParameters(decoded.values);
  for (int id = 0; id < loading.plugin.getParameterCount(); ++id) {
    const float value = loading.plugin.getNormalised(id);
    if (!(value >= 0.0f && value <= 1.0f)) __builtin_trap();
  }
  return 0;
}
