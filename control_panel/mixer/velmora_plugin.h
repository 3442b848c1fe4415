// The mixer's parameter set: a Plugin over the 181 mixer parameters, every value at its
// default when made. Created once at start-up by the application, which is its host.
//
// VelmoraPlugin: the mixer's parameter set, every value the control panel shows or sets.
#pragma once

#include "control_panel/mixer/velmora_parameters.h"
#include "control_panel/toolkit/plugin.h"

namespace velmora {

class VelmoraPlugin final : public Plugin {
 public:
  VelmoraPlugin() : Plugin(kVelmoraParameters, kVelmoraParameterCount) {}
  ~VelmoraPlugin() override = default;

  // What a musician reads: input and output levels in dB of the gain they give (the level
  // is the gain factor, so 0.5 is -6.0 dB; 0 is -inf dB), pans as C, L or R with the
  // distance from the centre in percent, the sample rate in kHz, two-state switches On or
  // Off; everything else the parameter's own text.
  int valueText(int index, char* out, int capacity) override;
};

}  // namespace velmora
