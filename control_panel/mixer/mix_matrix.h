// One unit's mixer engine: turns the parameter set into the unit's mixer coefficients (input
// mix, routing, output control words, follow mask), sends only what changed in batches of at
// most 14, and reads the unit's front-panel knob, dim and mute back into the parameters.
// Made by the mixer host for each listed unit; refers to (does not own) the unit's
// coefficient access. User-interface thread only.
//
// MixMatrix: one unit's mixer engine, from the parameters to the mixer coefficients.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "control_panel/device/cv_avc.h"
#include "control_panel/hal/mix_engine.h"
#include "control_panel/mixer/velmora_plugin.h"

namespace velmora {

class MixMatrix final : public MixEngine {
 public:
  static constexpr int kMixGains = 52;
  static constexpr int kRoutingGains = 15;
  static constexpr int kDestinations = 5;
  static constexpr uint32_t kBatchSize = 14;

  MixMatrix(cvAVC& unit, Plugin& parameters);

  void ReadHWControls() override;
  void applyHardwareControls() override;
  void computeMix() override;
  void captureOutputSettings() override;
  void queueMixChanges() override;
  void computeOutputWords() override;
  void queueOutputChanges() override;
  void StreamAVC() override;
  void resetSentValues() override;

  // Gain laws of pan and balance.
  static float gR(float x) { return x < 0.5f ? 2 * x : 1.0f; }
  static float gL(float x) { return 1 - x < 0.5f ? 2 * (1 - x) : 1.0f; }
  // Attenuation of an output level: 0 at full level, 127 at silence.
  static int32_t attenuation(float level);

  const std::array<float, kMixGains>& mixGains() const { return mixGains_; }
  const std::array<float, kRoutingGains>& routingGains() const { return routingGains_; }
  const std::array<int32_t, kOutputPairCount>& outputWords() const { return outputWords_; }
  int32_t followMask() const { return followMask_; }
  const std::vector<CoefficientValue>& pendingWrites() const { return pending_; }
  float hardwareKnob() const { return hardwareKnob_; }

 private:
  struct OutputSettings {
    float level = 0;
    float mute = 0;
    float follow = 0;
    float dim = 0;
    float pad = 0;
  };

  float value(int id) { return parameters_.getNormalised(id); }
  void queue(uint32_t index, int32_t coefficient) {
    pending_.push_back({index, static_cast<uint32_t>(coefficient)});
  }
  // A front-panel button against a parameter (and its linked siblings): user change path.
  void applyButton(bool pressed, int firstId);

  std::array<float, kMixGains> mixGains_{};
  std::array<float, kMixGains> sentMixGains_{};
  std::array<float, kRoutingGains> routingGains_{};
  std::array<float, kRoutingGains> sentRoutingGains_{};
  std::array<int32_t, kOutputPairCount> outputWords_{};
  std::array<int32_t, kOutputPairCount> sentOutputWords_{};
  int32_t followMask_ = 0;
  int32_t sentFollowMask_ = -1;
  float hardwareKnob_ = -1;
  bool hardwareDim_ = false;
  bool hardwareMute_ = false;
  bool outputLink_ = false;
  std::array<OutputSettings, kOutputPairCount> outputs_{};
  bool outputsCaptured_ = false;
  std::vector<CoefficientValue> pending_;
  cvAVC& unit_;
  Plugin& parameters_;
};

}  // namespace velmora
