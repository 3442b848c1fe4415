#include "control_panel/app/control_panel.h"

#include <algorithm>
#include <array>
#include <filesystem>

#include <wx/utils.h>

#include "control_panel/app/pointer_buttons.h"
#include "control_panel/mixer/mix_file_format.h"
#include "control_panel/mixer/velmora_parameters.h"
#include "control_panel/panels/panel_shortcuts.h"
#include "control_panel/toolkit/named_bitmap.h"
#include "control_panel/toolkit/parameter.h"
#include "control_panel/toolkit/skin_archive.h"
#include "platform/clock.h"

namespace velmora {
namespace {

constexpr std::array<int, 6> kRatesHz = {44100, 48000, 88200, 96000, 176400, 192000};
constexpr char kDeclinedExtension[] = ".declined";

// Telling the views a value they already hold makes them redraw the whole panel (and compare
// it with the screen) for nothing, eight times a second.
void setRealWhenChanged(Plugin& plugin, int index, float value) {
  Parameter* parameter = plugin.getParameter(index);
  if (parameter == nullptr || parameter->toNormalised(value) == parameter->getNormalised()) return;
  plugin.setReal(index, value);
}

}  // namespace

ControlPanel::ControlPanel() = default;

ControlPanel::~ControlPanel() {
  exit(false);
}

std::string ControlPanel::currentDefaultMixPath() {
  const UnitSerial serial = hal().CurrentSerial();
  return defaultMixFilePath(serial.low, serial.high);
}

bool ControlPanel::start(const std::optional<std::string>& mixFile) {
  if (!windows_.loadSkin()) return false;
  VelmoraHAL::Create(ui_);
  host_ = std::make_unique<MixerHost>(plugin_, hal(), ui_);
  hal().AttachMixer(host_.get());
  hal().AddObserver(this);
  watcher_ = std::make_unique<BusChangeWatcher>();
  if (VelmoraHAL::UnitCount() > 0) hal().Open(VelmoraHAL::SerialAt(0));
  windows_.createLayouts(plugin_);
  plugin_.setNormalised(param::kLargeModel, VelmoraHAL::IsLargeModel() ? 1.0f : 0.0f);
  plugin_.setHost(host_.get());
  loadStartMix(mixFile);
  journal_ = std::make_unique<MixJournal>(plugin_);
  autosave_ = std::make_unique<MixAutosave>(*host_, hal(), ui_);
  journalUnit_ = hal().CurrentSerial();
  windows_.createFrames(*host_, [this](MyFrame& frame) {
    frame.Bind(wxEVT_CHAR_HOOK, [this, &frame](wxKeyEvent& event) {
      const bool ctrl = event.GetModifiers() & wxMOD_CONTROL;
      const int key = event.GetKeyCode();
      // The panel's own Ctrl keys take Ctrl alone.
      const PanelShortcut* shortcut =
          event.GetModifiers() == wxMOD_CONTROL ? ctrlShortcut(key) : nullptr;
      if (ctrl && key == 'Z' && event.ShiftDown()) {
        redo();
      } else if (ctrl && key == 'Z') {
        undo();
      } else if (ctrl && key == 'Y' && !event.ShiftDown()) {
        redo();
      } else if (shortcut != nullptr) {
        frame.runShortcut(*shortcut);
      } else {
        event.Skip();
      }
    });
  });
  windows_.showCurrentFrame();
  windows_.createConnectionLostFrame(plugin_);
  if (!hal().EnsureOpen()) windows_.ShowConnectionLost(true);
  const std::string declined = declinedCopy_;
  char name[17] = {};
  if (hal().IsOpen() && hal().GetUnitName(hal().CurrentSerial(), name)) {
    ui_.ShowStatus("\"" + std::string(name) + "\" ready");
  }
  if (!declined.empty()) {
    ui_.ShowStatus("Saved mix not loaded; it is kept as " + declined);
  }
  started_ = true;
  return true;
}

void ControlPanel::loadStartMix(const std::optional<std::string>& mixFile) {
  if (mixFile) {
    host_->loadMixFile(*mixFile, false);
    startMixLoaded_ = true;
    return;
  }
  if (VelmoraHAL::UnitCount() == 0) return;
  startMixLoaded_ = true;
  const std::string path = currentDefaultMixPath();
  const MixerHost::MixLoadResult result = host_->loadMix(path, true);
  if (result.outcome != MixerHost::MixLoad::Declined) return;
  // The save at exit replaces the default mix with what the panel holds: keep the mix the
  // user declined, so nothing saved is lost.
  std::error_code error;
  const std::string copy = path + kDeclinedExtension;
  std::filesystem::copy_file(path, copy, std::filesystem::copy_options::overwrite_existing, error);
  if (!error) declinedCopy_ = copy;
}

void ControlPanel::loadMixOfALateFirstUnit() {
  // Before the mixer sends anything: the panel's defaults would overwrite the unit's mix, and
  // the save at exit its default mix file.
  if (startMixLoaded_ || !hal().IsOpen()) return;
  loadStartMix(std::nullopt);
  journal_->clear();
  autosave_->reset();
  journalUnit_ = hal().CurrentSerial();
}

void ControlPanel::notify(HalEvent event) {
  events_.push(event);
}

bool ControlPanel::idlePass() {
  if (exiting_ || !started_) return false;
  // A question asked inside a pass runs a nested loop whose idle time would start another
  // pass over the same state; the outer pass goes on once it is answered.
  if (busy_) return false;
  ++passes_;
  busy_ = true;
  if (watcher_ && watcher_->TakeChange()) hal().OnMSWDeviceChange();
  loadMixOfALateFirstUnit();
  hal().updateAllMixers();
  const int rate = hal().GetSampleRate();
  if (rate != 0 && rate != lastRateShown_) {
    lastRateShown_ = rate;
    const auto code = std::find(kRatesHz.begin(), kRatesHz.end(), rate);
    if (code != kRatesHz.end()) {
      plugin_.setReal(param::kSampleRate, static_cast<float>(code - kRatesHz.begin() + 1));
    }
  }
  const float streaming = hal().IsStreaming() ? 1.0f : 0.0f;
  if (plugin_.getNormalised(param::kInUse) != streaming) {
    plugin_.setNormalised(param::kInUse, streaming);
  }
  while (const auto event = events_.pop()) handle(*event);
  followMixChanges();
  if (passes_ % kSlowPassEvery == 0) {
    const float locked = hal().IsSyncLocked() ? 1.0f : 0.0f;
    if (plugin_.getNormalised(param::kSyncLocked) != locked) {
      plugin_.setNormalised(param::kSyncLocked, locked);
    }
    setRealWhenChanged(plugin_, param::kSyncInUse, static_cast<float>(hal().GetSyncStatus()));
    setRealWhenChanged(plugin_, param::kSyncSource, static_cast<float>(hal().GetSyncSource()));
    windows_.ShowConnectionLost(!hal().EnsureOpen());
  }
  if (!exiting_) platform::clock().sleep(kPassSleepMs);
  busy_ = false;
  return true;
}

void ControlPanel::followMixChanges() {
  if (hal().CurrentSerial() != journalUnit_) {
    // Another unit, another mix: its steps would undo into the wrong unit.
    journalUnit_ = hal().CurrentSerial();
    journal_->clear();
    autosave_->reset();
  }
  const bool down = leftButtonIsDown();
  if (down && !mouseDown_) journal_->beginGesture(-1);
  if (!down && mouseDown_) journal_->endGesture();
  mouseDown_ = down;
  const uint32_t now = platform::clock().tickCount();
  journal_->idle(now);
  autosave_->idle(now);
}

void ControlPanel::undo() {
  if (!journal_) return;
  if (const auto label = journal_->undo()) ui_.ShowStatus("Undo: " + *label);
}

void ControlPanel::redo() {
  if (!journal_) return;
  if (const auto label = journal_->redo()) ui_.ShowStatus("Redo: " + *label);
}

void ControlPanel::refreshFrames() {
  windows_.forEachMainFrame([](MyFrame& frame) { frame.Refresh(); });
}

void ControlPanel::handle(HalEvent event) {
  ++handledEvents_;
  switch (event) {
    case kHalEventRefresh:
      refreshFrames();
      return;
    case kHalEventUnitReady:
      windows_.forEachMainFrame([](MyFrame& frame) { frame.ShowUnitName(); });
      plugin_.setNormalised(param::kPhantom1to4, hal().PhantomPower1to4() ? 1.0f : 0.0f);
      plugin_.setNormalised(param::kPhantom5to8, hal().PhantomPower5to8() ? 1.0f : 0.0f);
      for (int id :
           {param::kInsertInput1, param::kInsertInput2, param::kPsuHeadroom, param::kMidiThrough}) {
        host_->parameterChanged(id);
      }
      refreshFrames();
      return;
    case kHalEventUnitClosed:
      plugin_.setNormalised(param::kSyncLocked, 0.0f);
      return;
    default:
      return;
  }
}

void ControlPanel::exit(bool saveMix) {
  if (exiting_) return;
  exiting_ = true;
  // A pass runs on this same thread; busy is only set when a nested loop (a message box)
  // brought us here from inside one. Waiting for it would never end, so it is not waited for.
  if (!started_) return;
  // A unit whose default mix was never loaded (it came late and was not opened yet) keeps
  // its file: the panel's values are not its mix.
  if (saveMix && startMixLoaded_ && VelmoraHAL::UnitCount() > 0 &&
      hal().CurrentSerial() != kNoSuchUnit) {
    host_->saveMixFile(currentDefaultMixPath());
  }
  hal().Close();
  windows_.deleteLayouts();
  hal().RemoveObserver(this);
  hal().AttachMixer(nullptr);
  plugin_.setHost(nullptr);
  watcher_.reset();
  autosave_.reset();
  journal_.reset();
  host_.reset();
  VelmoraHAL::Destroy();
  releaseNamedBitmaps();
  loadArchive(nullptr, 0);
  loadDoubleArchive(nullptr, 0);
}

}  // namespace velmora
