// The per-unit mixer engine the hardware abstraction drives in its update cycle, and the
// mixer parameter set that makes one for each unit. Implemented by the mixer model; the
// hardware abstraction only calls them in order.
#pragma once

#include <memory>

namespace velmora {

class cvAVC;

class MixEngine {
 public:
  virtual ~MixEngine() = default;
  // Reads the unit's front-panel knob, dim and mute back.
  virtual void ReadHWControls() = 0;
  // The current unit only: front-panel controls into the parameters, the mix computed from
  // the parameters, the output settings captured, the changed mix coefficients queued.
  virtual void applyHardwareControls() = 0;
  virtual void computeMix() = 0;
  virtual void captureOutputSettings() = 0;
  virtual void queueMixChanges() = 0;
  // Every unit: output words computed and queued, then everything queued sent.
  virtual void computeOutputWords() = 0;
  virtual void queueOutputChanges() = 0;
  virtual void StreamAVC() = 0;
  // Forgets what was sent, so the next cycle sends every value again.
  virtual void resetSentValues() = 0;
};

// The mixer parameter set as the hardware abstraction sees it.
class MixerLink {
 public:
  virtual ~MixerLink() = default;
  // A new engine for a unit, bound to the unit's coefficient access (which outlives it).
  virtual std::unique_ptr<MixEngine> CreateMixEngine(cvAVC& unit) = 0;
};

}  // namespace velmora
