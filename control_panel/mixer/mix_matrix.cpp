#include "control_panel/mixer/mix_matrix.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "control_panel/device/diagnostic_log.h"
#include "control_panel/hal/unit_coefficients.h"

namespace velmora {

namespace {

constexpr float kUnity = 32767.0f;
constexpr int32_t kFollowMaskSingle = 0x11;
constexpr int32_t kFollowMaskLinked = 0x1FF;
constexpr int32_t kMuteBit = 0x1000000;
constexpr int32_t kFollowBit = 0x4000000;
constexpr int32_t kPadBit = 0x8000000;
constexpr int32_t kDimBit = 0x10000000;
static_assert(std::size(coeff::COEFF_ROUTING_DESTINATION) == MixMatrix::kDestinations);
// Routing slots per destination: the first has two, the others three.
constexpr int kRoutingSlots[MixMatrix::kDestinations] = {2, 3, 3, 3, 3};
constexpr int kRoutingFirst[MixMatrix::kDestinations] = {0, 2, 5, 8, 11};

bool on(float normalised) {
  return normalised > 0.1f;
}

}  // namespace

MixMatrix::MixMatrix(cvAVC& unit, Plugin& parameters) : unit_(unit), parameters_(parameters) {
  resetSentValues();
}

int32_t MixMatrix::attenuation(float level) {
  const float f = static_cast<float>(std::pow(static_cast<double>(level), 0.125));
  return 127 - static_cast<int32_t>(127 * f);
}

void MixMatrix::ReadHWControls() {
  CoefficientValue controls[3] = {{coeff::COEFF_HW_KNOB, 0xFFFFFFFF},
                                  {coeff::COEFF_HW_DIM, 0xFFFFFFFF},
                                  {coeff::COEFF_HW_MUTE, 0xFFFFFFFF}};
  if (unit_.GetValues(controls, 3) != 0) {
    LogText("GetValues() failed in MixMatrix::ReadHWControls()\n");
    return;
  }
  hardwareKnob_ = static_cast<float>(controls[0].value & 0xFF) / 255.0f;
  hardwareDim_ = controls[1].value != 0;
  hardwareMute_ = controls[2].value != 0;
}

void MixMatrix::applyButton(bool pressed, int firstId) {
  if (pressed == on(value(firstId))) return;
  const int last = outputLink_ ? firstId + kOutputPairCount - 1 : firstId;
  for (int id = firstId; id <= last; ++id) {
    parameters_.getParameter(id)->setNormalised(pressed ? 1.0f : 0.0f);
    parameters_.userChanged(id, true);  // the host writes the button back, then the panels
  }
}

void MixMatrix::applyHardwareControls() {
  outputLink_ = on(value(param::kLinkOutputLevels));
  if (hardwareKnob_ >= 0) {
    for (int k = 0; k < kOutputPairCount; ++k) {
      if (on(value(param::kHardwareControl + k)) &&
          value(param::kOutputLevel + k) != hardwareKnob_) {
        parameters_.setNormalised(param::kOutputLevel + k, hardwareKnob_);
      }
    }
  }
  applyButton(hardwareDim_, param::kOutputDim);
  applyButton(hardwareMute_, param::kOutputMute);
}

void MixMatrix::computeMix() {
  for (int i = 0; i < kInputCount; ++i) {
    const float level = value(InputLevelId(i));
    const float pan = value(InputPanId(i));
    const float unmuted = 1 - value(param::kInputMute + i);
    mixGains_[2 * i] = gL(pan) * level * kUnity * unmuted;
    mixGains_[2 * i + 1] = gR(pan) * level * kUnity * unmuted;
  }
  for (int d = 0; d < kDestinations; ++d) {
    const float balance = value(param::kBalances[d]);
    const float playback = gR(balance) * kUnity;
    const float mix = gL(balance) * kUnity;
    float* slots = routingGains_.data() + kRoutingFirst[d];
    if (d == 0) {
      slots[0] = playback;
      slots[1] = mix;
    } else {
      const float own = on(value(param::kOwnPlayback[d - 1])) ? 1.0f : 0.0f;
      slots[0] = (1 - own) * playback;
      slots[1] = own * playback;
      slots[2] = mix;
    }
  }
}

void MixMatrix::captureOutputSettings() {
  for (int k = 0; k < kOutputPairCount; ++k) {
    OutputSettings& o = outputs_[k];
    o.level = value(param::kOutputLevel + k);
    o.mute = on(value(param::kOutputMute + k)) ? 1.0f : 0.0f;
    o.dim = on(value(param::kOutputDim + k)) ? 1.0f : 0.0f;
    o.follow = on(value(param::kHardwareControl + k)) ? 1.0f : 0.0f;
    o.pad = on(value(param::kPad + k)) ? 1.0f : 0.0f;
  }
  outputsCaptured_ = true;
}

void MixMatrix::queueMixChanges() {
  pending_.clear();
  for (int i = 0; i < kMixGains; ++i) {
    if (mixGains_[i] != sentMixGains_[i]) {
      queue(coeff::COEFF_INPUT_MIX + static_cast<uint32_t>(i), static_cast<int32_t>(mixGains_[i]));
      sentMixGains_[i] = mixGains_[i];
    }
  }
  for (int d = 0; d < kDestinations; ++d) {
    const int n = kRoutingSlots[d];
    for (int j = 0; j < n; ++j) {
      const int slot = kRoutingFirst[d] + j;
      if (routingGains_[slot] == sentRoutingGains_[slot]) continue;
      const int32_t gain = static_cast<int32_t>(routingGains_[slot]);
      // Both channels of the destination pair get the same gain.
      const uint32_t base = coeff::COEFF_ROUTING_DESTINATION[d];
      queue(base + j, gain);
      queue(base + n + j, gain);
      sentRoutingGains_[slot] = routingGains_[slot];
    }
  }
}

void MixMatrix::computeOutputWords() {
  if (!outputsCaptured_) return;
  for (int k = 0; k < kOutputPairCount; ++k) {
    const OutputSettings& o = outputs_[k];
    int32_t word = attenuation(o.level) & 0x7F;
    if (o.mute != 0) word |= kMuteBit;
    if (o.follow != 0) word |= kFollowBit;
    if (o.pad != 0) word |= kPadBit;
    if (o.dim != 0) word |= kDimBit;
    outputWords_[k] = word;
  }
  followMask_ = outputLink_ ? kFollowMaskLinked : kFollowMaskSingle;
}

void MixMatrix::queueOutputChanges() {
  // Before the settings were captured the words say full level, unmuted: never send those.
  if (!outputsCaptured_) return;
  for (int k = 0; k < kOutputPairCount; ++k) {
    if (outputWords_[k] != sentOutputWords_[k]) {
      queue(coeff::COEFF_OUTPUT_WORD + static_cast<uint32_t>(k), outputWords_[k]);
      sentOutputWords_[k] = outputWords_[k];
    }
  }
  if (followMask_ != sentFollowMask_) {
    queue(coeff::COEFF_FOLLOW_MASK, followMask_);
    sentFollowMask_ = followMask_;
  }
}

void MixMatrix::StreamAVC() {
  for (size_t next = 0; next < pending_.size(); next += kBatchSize) {
    const uint32_t count =
        static_cast<uint32_t>(std::min<size_t>(kBatchSize, pending_.size() - next));
    // Values count as sent once queued: a failed batch is not sent again.
    if (unit_.SetValues(pending_.data() + next, count) != 0) {
      LogText("SetValues() failed in MixMatrix::StreamAVC()\n");
    }
  }
  pending_.clear();
}

void MixMatrix::resetSentValues() {
  mixGains_.fill(0);
  sentMixGains_.fill(-1.0f);
  routingGains_.fill(0);
  sentRoutingGains_.fill(-1.0f);
  outputWords_.fill(0);
  sentOutputWords_.fill(-1);
  followMask_ = 0;
  sentFollowMask_ = -1;
  pending_.clear();
}

}  // namespace velmora
