// Arbitrary bytes as a mix file: the checks never read outside the bytes, what passes them has
// no more values than the chunk may hold, and loading what passed (the rate and ADAT questions
// answered by the input's last bit) leaves every parameter a normalised value in 0...1. Each
// input is also tried sealed: with the format words, the length and every checksum made right,
// so that mutants get past the checksums into the chunk walk and the loading.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

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

uint32_t WordAt(const std::vector<uint8_t>& bytes, size_t offset) {
  return static_cast<uint32_t>(bytes[offset]) | static_cast<uint32_t>(bytes[offset + 1]) << 8 |
         static_cast<uint32_t>(bytes[offset + 2]) << 16 |
         static_cast<uint32_t>(bytes[offset + 3]) << 24;
}

void PutWord(std::vector<uint8_t>& bytes, size_t offset, uint32_t value) {
  for (size_t i = 0; i < 4; ++i) bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

// The wrapping sum of `count` words from `offset`, the word at `skip` taken as 0.
uint32_t SumOf(const std::vector<uint8_t>& bytes, size_t offset, size_t count, size_t skip) {
  uint32_t sum = 0;
  for (size_t i = 0; i < count; ++i) {
    const size_t at = offset + 4 * i;
    if (at != skip) sum += WordAt(bytes, at);
  }
  return sum;
}

// The input with format id 102, version 1, its length, each chunk's checksum (for the chunks
// whose length keeps them inside the file) and then the file checksum put right.
std::vector<uint8_t> Sealed(const uint8_t* data, size_t size) {
  std::vector<uint8_t> bytes(data, data + size);
  const size_t words = size / 4;
  if (words < 5) return bytes;
  PutWord(bytes, 0, 102);
  PutWord(bytes, 4, 1);
  PutWord(bytes, 8, static_cast<uint32_t>(words * 4));
  const uint32_t chunks = WordAt(bytes, 16);
  size_t offset = 20;
  for (uint32_t chunk = 0; chunk < chunks && offset + 12 <= words * 4; ++chunk) {
    const uint32_t length = WordAt(bytes, offset + 4);
    if (length < 12 || length > words * 4 - offset) break;
    PutWord(bytes, offset + 8, SumOf(bytes, offset, length / 4, offset + 8));
    offset += length;
  }
  PutWord(bytes, 12, SumOf(bytes, 0, words, 12));
  return bytes;
}

// Checks and, when it passes, loads one candidate file.
void LoadIfAccepted(std::span<const uint8_t> file, bool answer);

LoadingHost& loadingHost() {
  static LoadingHost* host = new LoadingHost;  // lives as long as the fuzzing process
  return *host;
}

void LoadIfAccepted(std::span<const uint8_t> file, bool answer) {
  const velmora::DecodedMixFile decoded = velmora::DecodeMixFile(file, kParameters);
  if (decoded.check != velmora::MixFileCheck::Ok) return;
  if (decoded.values.size() > kParameters) __builtin_trap();

  LoadingHost& loading = loadingHost();
  loading.ui.answer = answer;
  loading.host->applyLoadedParameters(decoded.values);
  for (int id = 0; id < loading.plugin.getParameterCount(); ++id) {
    const float value = loading.plugin.getNormalised(id);
    if (!(value >= 0.0f && value <= 1.0f)) __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const bool answer = size > 0 && (data[size - 1] & 1) != 0;
  LoadIfAccepted(std::span<const uint8_t>(data, size), answer);
  const std::vector<uint8_t> sealed = Sealed(data, size);
  LoadIfAccepted(sealed, answer);
  return 0;
}
