// velmoractl panel render: the control panel's face drawn to a PNG file without a display,
// over the parameters of a real unit, opened as the reading verbs open it: the unit's default
// mix shown, nothing sent, saved or stored.
#include <algorithm>
#include <array>
#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "cli/mixer_session.h"
#include "control_panel/mixer/velmora_parameters.h"
#include "control_panel/panels/panel_render.h"
#include "control_panel/toolkit/named_bitmap.h"
#include "control_panel/toolkit/panel_zoom.h"
#include "control_panel/toolkit/skin_archive.h"
#include "platform/resources.h"

namespace velmoractl {
namespace {

namespace param = velmora::param;

constexpr std::array<int, 6> kRatesHz = {44100, 48000, 88200, 96000, 176400, 192000};

// The unit's state in the parameters the control panel's idle pass and frames keep: rate,
// streaming, lock, sync source in use and selected, ADAT availability, model. Only reads.
void takeUnitState(velmora::VelmoraHAL& hal, velmora::Plugin& plugin, int hz) {
  const auto rate = std::find(kRatesHz.begin(), kRatesHz.end(), hz);
  if (rate != kRatesHz.end()) {
    plugin.setReal(param::kSampleRate, static_cast<float>(rate - kRatesHz.begin() + 1));
  }
  plugin.setNormalised(param::kInUse, hal.IsStreaming() ? 1.0f : 0.0f);
  plugin.setNormalised(param::kSyncLocked, hal.IsSyncLocked() ? 1.0f : 0.0f);
  plugin.setReal(param::kSyncInUse, static_cast<float>(hal.GetSyncStatus()));
  plugin.setReal(param::kSyncSource, static_cast<float>(hal.GetSyncSource()));
  const bool adat = !hal.ReducedModel();
  plugin.setNormalised(param::kAdat1Available, adat && hz < 176400 ? 1.0f : 0.0f);
  plugin.setNormalised(param::kAdat2Available, adat && hz < 88200 ? 1.0f : 0.0f);
  plugin.setNormalised(param::kLargeModel, velmora::VelmoraHAL::IsLargeModel() ? 1.0f : 0.0f);
}

// The program's skin for the verb's time: with the ×2 skin where the window at that zoom
// draws with it, so that the file holds the window's pixels.
class SkinForVerb {
 public:
  explicit SkinForVerb(int zoom) {
    if (const auto resource = platform::findResource("PAL", 105)) {
      velmora::loadResidentArchive(resource->data(), resource->size());
      loaded_ = true;
    }
    const auto fine =
        velmora::skinScaleFor(zoom, 1) == 2 ? platform::findResource("PAL", 106) : std::nullopt;
    if (fine) velmora::loadResidentDoubleArchive(fine->data(), fine->size());
  }
  ~SkinForVerb() {
    velmora::releaseNamedBitmaps();
    velmora::loadArchive(nullptr, 0);
    velmora::loadDoubleArchive(nullptr, 0);
  }
  SkinForVerb(const SkinForVerb&) = delete;
  SkinForVerb& operator=(const SkinForVerb&) = delete;
  bool loaded() const { return loaded_; }

 private:
  bool loaded_ = false;
};

}  // namespace

int panelRenderCommand(Args args) {
  std::string error;
  const auto layoutOption = takeOption(args, "--layout", error);
  const auto unitOption = error.empty() ? takeOption(args, "--unit", error) : std::nullopt;
  const auto zoomOption = error.empty() ? takeOption(args, "--zoom", error) : std::nullopt;
  if (!error.empty()) return fail(kExitUsage, "panel render: " + error);
  std::optional<velmora::PanelLayout> chosen;
  if (layoutOption) {
    chosen = velmora::layoutNamed(*layoutOption);
    if (!chosen) {
      return fail(kExitUsage,
                  "panel render: --layout takes normal, shrink, ac3 or lost, not " + *layoutOption);
    }
  }
  uint32_t unit = 0;
  if (unitOption) {
    const auto index = parseNumber(*unitOption);
    if (!index)
      return fail(kExitUsage, "panel render: --unit needs a unit index, not " + *unitOption);
    unit = *index;
  }
  const std::optional<int> zoom = zoomOption ? velmora::parseZoom(*zoomOption) : 1;
  if (!zoom) return fail(kExitUsage, "panel render: --zoom takes 1, 2 or 3, not " + *zoomOption);
  if (args.size() != 1) return fail(kExitUsage, "panel render: name one PNG file to write");
  const std::string path = args[0];

  SkinForVerb skin(*zoom);
  if (!skin.loaded()) return fail(kExitFailure, "panel render: the skin is not in the program");
  MixerSession mixer;
  if (!mixer.Start(unit, DefaultMix::Show)) return fail(kExitFailure, mixer.error());
  velmora::VelmoraPlugin& plugin = mixer.plugin();
  // The widgets settle what they keep in step while drawing; none of it may reach the unit.
  plugin.setHost(nullptr);
  velmora::VelmoraHAL& hal = mixer.session().hal();
  const int hz = hal.GetSampleRate();
  takeUnitState(hal, plugin, hz);
  const velmora::PanelLayout which = chosen.value_or(velmora::chooseLayout(hz, plugin));
  const auto layout = velmora::makeLayout(which, &plugin);
  char name[17] = {};
  if (hal.GetUnitName(hal.CurrentSerial(), name)) velmora::showUnitName(*layout, name);
  if (!velmora::renderLayoutToPng(*layout, path, *zoom)) {
    return fail(kExitFailure, "panel render: cannot write " + path);
  }
  std::printf("%s: the %s layout of unit %u\n", path.c_str(), velmora::layoutName(which), unit);
  return kExitOk;
}

}  // namespace velmoractl
