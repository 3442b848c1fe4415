// The mixer's parameter set: 181 parameters with fixed ids (their names in parameter_ids.h).
#pragma once

#include "control_panel/mixer/parameter_ids.h"
#include "control_panel/toolkit/parameter.h"

namespace velmora {

inline constexpr int kVelmoraParameterCount = 181;
extern const ParameterDescriptor kVelmoraParameters[kVelmoraParameterCount];

// The level and pan parameter of input i (0-25).
int InputLevelId(int input);
int InputPanId(int input);

}  // namespace velmora
