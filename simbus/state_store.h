// The daemon's saved bus: units, driver and settings in <state folder>/bus.state, written
// whole to a temporary file and renamed into place, so a crash never leaves half a file.
#pragma once

#include <cstdint>
#include <string>

#include "simbus/sim_bus.h"

namespace simbus {

class StateStore {
 public:
  explicit StateStore(std::string folder);

  enum class Loaded {
    Nothing,   // no saved state yet
    Restored,  // the bus now holds the saved state
    Corrupt,   // unreadable; kept aside as bus.state.corrupt, the bus starts fresh
    Failed,    // the folder or file cannot be used
  };

  // Makes the folder (mode 0700) and loads the saved state into `bus`. `detail` says why
  // for Corrupt and Failed.
  Loaded load(SimBus& bus, std::string* detail);

  // Whether the bus's persistent state changed since the last load or save.
  bool changed(const SimBus& bus) const { return !saved_ || bus.stateVersion() != savedVersion_; }

  // Writes the bus when its persistent state changed since the last load or save.
  bool saveIfChanged(const SimBus& bus, std::string* error);

  const std::string& statePath() const { return statePath_; }

 private:
  bool save(const std::string& text, std::string* error);

  std::string folder_;
  std::string statePath_;
  uint64_t savedVersion_ = 0;
  bool saved_ = false;
};

}  // namespace simbus
