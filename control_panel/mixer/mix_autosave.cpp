#include "control_panel/mixer/mix_autosave.h"

#include "control_panel/mixer/mix_file_format.h"
#include "control_panel/mixer/mix_journal.h"
#include "platform/clock.h"

namespace velmora {

MixAutosave::MixAutosave(MixerHost& host, VelmoraHAL& hal, HalUserInterface& ui)
    : host_(host), hal_(hal), ui_(ui) {
  reset();
}

std::vector<float> MixAutosave::mix() const {
  Plugin& plugin = host_.plugin();
  std::vector<float> values;
  for (int id = 0; id < plugin.getParameterCount(); ++id) {
    if (MixJournal::IsJournalled(id)) values.push_back(plugin.getNormalised(id));
  }
  return values;
}

void MixAutosave::reset() {
  lastSeen_ = mix();
  pending_ = false;
}

bool MixAutosave::unchanged() const {
  Plugin& plugin = host_.plugin();
  size_t i = 0;
  for (int id = 0; id < plugin.getParameterCount(); ++id) {
    if (!MixJournal::IsJournalled(id)) continue;
    if (i >= lastSeen_.size() || lastSeen_[i++] != plugin.getNormalised(id)) return false;
  }
  return i == lastSeen_.size();
}

void MixAutosave::idle(uint32_t now) {
  if (!unchanged()) {
    lastSeen_ = mix();
    lastChange_ = now;
    pending_ = true;
  }
  if (!pending_ || platform::ticksElapsed(lastChange_, now) < kDelayMs) return;
  pending_ = false;  // a failure waits for the next change
  const UnitSerial unit = hal_.CurrentSerial();
  if ((unit.low & unit.high) == 0xFFFFFFFF) return;  // no unit, no default mix
  if (host_.writeMixFile(defaultMixFilePath(unit.low, unit.high))) {
    failureShown_ = false;
  } else if (!failureShown_) {
    failureShown_ = true;
    ui_.ShowStatus(kFailureStatus);
  }
}

}  // namespace velmora
