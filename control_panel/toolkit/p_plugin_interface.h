// The host of a Plugin: the application object. User edits made through views reach it
// before any observer sees them.
//
// PPluginInterface: the host a parameter set calls (the application object).
#pragma once

namespace velmora {

class PPluginInterface {
 public:
  virtual ~PPluginInterface() = default;
  virtual float getSampleRate() = 0;
  // Called for every edit made through a view, after the new value was stored.
  virtual void parameterChanged(int id) = 0;
};

}  // namespace velmora
