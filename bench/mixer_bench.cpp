// One mixer update cycle on the in-process bus: idle (nothing changed: only the hardware
// controls are read), after one level change, and after a reset that sends everything; for
// 1 and 4 units. Counters report the coefficient writes and requests of one cycle.
#include <benchmark/benchmark.h>

#include <memory>

#include "control_panel/hal/velmora_hal.h"
#include "control_panel/mixer/mix_matrix.h"
#include "control_panel/mixer/mixer_host.h"
#include "control_panel/mixer/velmora_plugin.h"
#include "platform/clock.h"
#include "platform/vhpd_client.h"
#include "simbus/inproc_client.h"
#include "simbus/sim_bus.h"

namespace {

using namespace velmora;

class QuietUi : public MixerUserInterface {
 public:
  void ShowStatus(const std::string&) override {}
  void ShowMessageBox(const std::string&, const std::string&) override {}
  void DetachPanel() override {}
  void ReattachPanel() override {}
  std::optional<std::string> ChooseSaveFile() override { return std::nullopt; }
  std::optional<std::string> ChooseLoadFile() override { return std::nullopt; }
  std::optional<std::string> EditUnitName(const std::string&) override { return std::nullopt; }
  bool AskYesNo(const std::string&, const std::string&) override { return true; }
  void ShowErrorBox(const std::string&, const std::string&) override {}
  void ShowUnitName(const std::string&) override {}
  void RefreshRateDependentState() override {}
  bool IsFloatFrameShown() override { return false; }
  void DetachLayouts() override {}
  void ShowSelectedFrame(bool) override {}
};

enum class Cycle { Idle, OneLevel, Reset };

void UpdateCycle(benchmark::State& state) {
  platform::FakeClock clock;
  platform::ScopedClock useClock(clock);
  auto bus = std::make_shared<simbus::SimBus>();
  const int units = static_cast<int>(state.range(0));
  for (int i = 0; i < units; ++i) bus->plug(simbus::UnitSpec{});
  platform::vhpd::ScopedClient useBus(simbus::makeInprocClient(bus));
  QuietUi ui;
  VelmoraHAL::Create(ui);
  VelmoraHAL& hal = *VelmoraHAL::Get();
  VelmoraPlugin plugin;
  MixerHost host(plugin, hal, ui);
  plugin.setHost(&host);
  hal.AttachMixer(&host);
  hal.Open(hal.CurrentSerial());
  hal.updateAllMixers();
  const uint32_t serial = hal.CurrentSerial().low;
  const auto cycle = static_cast<Cycle>(state.range(1));

  float level = 0.1f;
  uint64_t writes = 0;
  uint64_t requests = 0;
  for (auto _ : state) {
    state.PauseTiming();
    if (cycle == Cycle::OneLevel) plugin.setNormalised(62, level = level == 0.1f ? 0.2f : 0.1f);
    if (cycle == Cycle::Reset) {
      for (size_t i = 0; i < VelmoraHAL::UnitCount(); ++i)
        VelmoraHAL::MixerAt(i)->resetSentValues();
    }
    const uint64_t before = bus->coefficientWriteCount(serial);
    const uint64_t blockWrites = bus->transferCounts(serial)->blockWrite;
    state.ResumeTiming();
    hal.updateAllMixers();
    state.PauseTiming();
    writes += bus->coefficientWriteCount(serial) - before;
    requests += bus->transferCounts(serial)->blockWrite - blockWrites;
    state.ResumeTiming();
  }
  state.counters["writes/cycle"] =
      benchmark::Counter(static_cast<double>(writes), benchmark::Counter::kAvgIterations);
  state.counters["requests/cycle"] =
      benchmark::Counter(static_cast<double>(requests), benchmark::Counter::kAvgIterations);
  hal.AttachMixer(nullptr);
  VelmoraHAL::Destroy();
}
BENCHMARK(UpdateCycle)
    ->ArgNames({"units", "cycle"})
    ->ArgsProduct({{1, 4},
                   {static_cast<int>(Cycle::Idle), static_cast<int>(Cycle::OneLevel),
                    static_cast<int>(Cycle::Reset)}});

}  // namespace
