// The control panel's life apart from wx's application object: start-up, the idle pass that
// keeps the parameters and the units in step, the hardware abstraction's events, and the
// orderly end with the default mix saved. The application object calls it; tests drive it
// pass by pass.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "control_panel/app/hal_event_queue.h"
#include "control_panel/app/main_windows.h"
#include "control_panel/app/wx_user_interface.h"
#include "control_panel/hal/bus_change_watcher.h"
#include "control_panel/hal/velmora_hal.h"
#include "control_panel/mixer/mix_autosave.h"
#include "control_panel/mixer/mix_journal.h"
#include "control_panel/mixer/mixer_host.h"
#include "control_panel/mixer/velmora_plugin.h"

namespace velmora {

class ControlPanel : public VelmoraHAL::Observer {
 public:
  static constexpr int kSlowPassEvery = 8;
  static constexpr uint32_t kPassSleepMs = 15;

  ControlPanel();
  ~ControlPanel() override;
  ControlPanel(const ControlPanel&) = delete;
  ControlPanel& operator=(const ControlPanel&) = delete;

  // Start-up from the skin to the windows; `mixFile` names a mix to load with messages
  // (else the unit's default mix, quietly). False when the program carries no skin.
  bool start(const std::optional<std::string>& mixFile);
  // One idle pass; false once exiting.
  bool idlePass();
  // The orderly end: the default mix saved (unless `saveMix` is false), the unit closed,
  // layouts and the hardware abstraction released. Runs once.
  void exit(bool saveMix = true);

  void notify(HalEvent event) override;

  // Ctrl+Z and Ctrl+Shift+Z / Ctrl+Y: the last mix step undone or redone, named on the
  // status line; the unit follows at the next pass.
  void undo();
  void redo();
  MixJournal& journal() { return *journal_; }

  MainWindows& windows() { return windows_; }
  VelmoraPlugin& plugin() { return plugin_; }
  MixerHost& host() { return *host_; }
  WxUserInterface& ui() { return ui_; }
  VelmoraHAL& hal() { return *VelmoraHAL::Get(); }
  int passCount() const { return passes_; }
  int handledEvents() const { return handledEvents_; }
  // Where a declined default mix was kept, when it was.
  const std::string& declinedCopy() const { return declinedCopy_; }

 private:
  void handle(HalEvent event);
  void refreshFrames();
  std::string currentDefaultMixPath();
  void loadStartMix(const std::optional<std::string>& mixFile);
  // The first unit that comes after start-up gets its default mix as at start-up.
  void loadMixOfALateFirstUnit();
  // The journal and the autosave follow the unit and the mouse: a press to its release is
  // one gesture.
  void followMixChanges();

  MainWindows windows_;
  WxUserInterface ui_{windows_};
  VelmoraPlugin plugin_;
  std::unique_ptr<MixerHost> host_;
  std::unique_ptr<BusChangeWatcher> watcher_;
  std::unique_ptr<MixJournal> journal_;
  std::unique_ptr<MixAutosave> autosave_;
  UnitSerial journalUnit_ = kNoSuchUnit;
  bool mouseDown_ = false;
  HalEventQueue events_;
  int passes_ = 0;
  int handledEvents_ = 0;
  int lastRateShown_ = 0;
  bool started_ = false;
  bool startMixLoaded_ = false;
  bool exiting_ = false;
  bool busy_ = false;
  std::string declinedCopy_;
};

}  // namespace velmora
