// Undo and redo of mix changes. The journal keeps the mix as it last stood (its baseline)
// and turns every difference from it into one step: a user gesture ends with endGesture or
// commit; changes made outside a gesture (the unit's knob, dim and mute read back) become a
// step once they have been quiet for half a second, so a burst of them is one step.
// Undo and redo apply values through the user-change path, so solo and mute logic, links
// and presets act as they do for the user. Only mix parameters are journalled.
// User-interface thread only; the plugin outlives the journal.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "control_panel/toolkit/plugin.h"

namespace velmora {

class MixJournal {
 public:
  static constexpr size_t kMaxSteps = 200;
  static constexpr uint32_t kBurstQuietMs = 500;

  explicit MixJournal(Plugin& plugin);

  // False for what is not mix: the unit's rate, sync, ADAT and phantom state, windows and
  // layouts, the parameters that open windows, status lamps.
  static bool IsJournalled(int id);

  // A press starts a gesture on `id`; the release ends it as one step.
  void beginGesture(int id);
  void endGesture();
  // Whatever changed since the last step becomes one step (a click, a menu command, a
  // load). `label` names it; empty: the name of the parameter changed first.
  void commit(const std::string& label = {});
  // The idle pass: changes outside a gesture become one step after kBurstQuietMs of quiet.
  void idle(uint32_t now);
  // Forgets every step and takes the mix as it stands as the baseline (a unit switch).
  void clear();

  // The label of the step undone or redone; nullopt when there is none.
  std::optional<std::string> undo();
  std::optional<std::string> redo();
  size_t undoCount() const { return undo_.size(); }
  size_t redoCount() const { return redo_.size(); }

 private:
  struct Change {
    int id;
    float before;
    float after;
  };
  struct Step {
    std::string label;
    std::vector<Change> changes;
  };

  std::vector<float> snapshot() const;
  // Whether the mix is still `seen` (a snapshot); asked every pass, so nothing is copied.
  bool unchangedSince(const std::vector<float>& seen) const;
  void push(const std::string& label);
  void apply(const Step& step, bool forward);

  Plugin& plugin_;
  std::vector<float> baseline_;
  std::deque<Step> undo_;
  std::deque<Step> redo_;
  int gestureId_ = -1;
  bool inGesture_ = false;
  std::vector<float> lastSeen_;
  uint32_t lastChange_ = 0;
  bool pending_ = false;
};

}  // namespace velmora
