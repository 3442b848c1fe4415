// The mixer's parameter set: a Plugin over the 181 mixer parameters, every value at its
// default when made. Created once at start-up by the application, which is its host.
#pragma once

#include "control_panel/mixer/velmora_parameters.h"
#include "control_panel/toolkit/plugin.h"

namespace velmora {

class VelmoraPlugin final : public Plugin {
 public:
  VelmoraPlugin() : Plugin(kVelmoraParameters, kVelmoraParameterCount) {}
  ~VelmoraPlugin() override = default;
};

}  // namespace velmora
