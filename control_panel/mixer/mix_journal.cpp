#include "control_panel/mixer/mix_journal.h"

#include <algorithm>

#include "control_panel/mixer/velmora_parameters.h"
#include "platform/clock.h"

namespace velmora {

namespace {

constexpr int kNotJournalled[] = {
    param::kIdentify,      param::kEditUnitName, param::kSelectUnit,     param::kPhantom1to4,
    param::kPhantom5to8,   param::kLogo,         param::kLoadSettings,   param::kSaveSettings,
    param::kFloatWindow,   param::kShrinkMode,   param::kExpandMode,     param::kSampleRate,
    param::kSyncSource,    param::kSyncInUse,    param::kInUse,          param::kSyncLocked,
    param::kEnableAdat1,   param::kEnableAdat2,  param::kAdat1Available, param::kAdat2Available,
    param::kInputMixGroup, param::kLargeModel,
};

}  // namespace

MixJournal::MixJournal(Plugin& plugin) : plugin_(plugin) {
  clear();
}

bool MixJournal::IsJournalled(int id) {
  return id >= 0 && id < kVelmoraParameterCount &&
         std::find(std::begin(kNotJournalled), std::end(kNotJournalled), id) ==
             std::end(kNotJournalled);
}

std::vector<float> MixJournal::snapshot() const {
  std::vector<float> values(static_cast<size_t>(plugin_.getParameterCount()), 0.0f);
  for (int id = 0; id < plugin_.getParameterCount(); ++id) {
    if (IsJournalled(id)) values[static_cast<size_t>(id)] = plugin_.getNormalised(id);
  }
  return values;
}

bool MixJournal::unchangedSince(const std::vector<float>& seen) const {
  if (seen.size() != static_cast<size_t>(plugin_.getParameterCount())) return false;
  for (int id = 0; id < plugin_.getParameterCount(); ++id) {
    if (IsJournalled(id) && seen[static_cast<size_t>(id)] != plugin_.getNormalised(id)) {
      return false;
    }
  }
  return true;
}

void MixJournal::clear() {
  undo_.clear();
  redo_.clear();
  inGesture_ = false;
  gestureId_ = -1;
  pending_ = false;
  baseline_ = snapshot();
  lastSeen_ = baseline_;
}

void MixJournal::beginGesture(int id) {
  // No step is closed here: the press itself may already have moved the control by the
  // time the press is seen, and that belongs to the gesture.
  inGesture_ = true;
  gestureId_ = id;
}

void MixJournal::endGesture() {
  if (!inGesture_) return;
  const int id = gestureId_;
  inGesture_ = false;
  gestureId_ = -1;
  commit(IsJournalled(id) ? plugin_.getParameter(id)->getName() : std::string());
}

void MixJournal::commit(const std::string& label) {
  if (inGesture_) return;
  push(label);
}

void MixJournal::push(const std::string& label) {
  const std::vector<float> now = snapshot();
  pending_ = false;
  lastSeen_ = now;
  Step step{label, {}};
  for (size_t i = 0; i < now.size(); ++i) {
    if (now[i] != baseline_[i]) step.changes.push_back({static_cast<int>(i), baseline_[i], now[i]});
  }
  baseline_ = now;
  if (step.changes.empty()) return;
  if (step.label.empty()) step.label = plugin_.getParameter(step.changes.front().id)->getName();
  undo_.push_back(std::move(step));
  if (undo_.size() > kMaxSteps) undo_.pop_front();
  redo_.clear();
}

void MixJournal::idle(uint32_t now) {
  if (inGesture_) return;
  if (!unchangedSince(lastSeen_)) {
    lastSeen_ = snapshot();
    lastChange_ = now;
    pending_ = lastSeen_ != baseline_;
  }
  if (pending_ && platform::ticksElapsed(lastChange_, now) >= kBurstQuietMs) push({});
}

void MixJournal::apply(const Step& step, bool forward) {
  // Through the user's path in id order, so solos come before the mutes they move; then
  // anything the logic left elsewhere is put exactly as the step had it.
  for (const Change& change : step.changes) {
    const float target = forward ? change.after : change.before;
    if (plugin_.getNormalised(change.id) == target) continue;
    plugin_.getParameter(change.id)->setNormalised(target);
    plugin_.userChanged(change.id, true);
  }
  for (const Change& change : step.changes) {
    const float target = forward ? change.after : change.before;
    if (plugin_.getNormalised(change.id) != target) plugin_.setNormalised(change.id, target);
  }
  baseline_ = snapshot();
  lastSeen_ = baseline_;
  pending_ = false;
}

std::optional<std::string> MixJournal::undo() {
  commit();  // a change not yet a step is undone first
  if (undo_.empty()) return std::nullopt;
  Step step = std::move(undo_.back());
  undo_.pop_back();
  apply(step, false);
  const std::string label = step.label;
  redo_.push_back(std::move(step));
  return label;
}

std::optional<std::string> MixJournal::redo() {
  commit();  // a change not yet a step replaces what could be redone
  if (inGesture_ || redo_.empty()) return std::nullopt;
  Step step = std::move(redo_.back());
  redo_.pop_back();
  apply(step, true);
  const std::string label = step.label;
  undo_.push_back(std::move(step));
  return label;
}

}  // namespace velmora
