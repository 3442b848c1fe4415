// The default mix survives a crash: about two seconds after the last mix change, the current
// unit's default mix file is written again, atomically. The file only: the unit's flash is
// stored at exit and on an explicit save. A failed write is told once on the status line
// and tried again at the next change.
// User-interface thread only; the host, the hardware abstraction and the user interface
// outlive it.
#pragma once

#include <cstdint>
#include <vector>

#include "control_panel/hal/hal_user_interface.h"
#include "control_panel/hal/velmora_hal.h"
#include "control_panel/mixer/mixer_host.h"

namespace velmora {

class MixAutosave {
 public:
  static constexpr uint32_t kDelayMs = 2000;
  static constexpr char kFailureStatus[] = "The default mix could not be saved";

  MixAutosave(MixerHost& host, VelmoraHAL& hal, HalUserInterface& ui);

  // The idle pass: notes changes of the mix and writes the file once they are kDelayMs old.
  void idle(uint32_t now);
  // Takes the mix as it stands as saved (after a load or a unit switch).
  void reset();

 private:
  std::vector<float> mix() const;

  MixerHost& host_;
  VelmoraHAL& hal_;
  HalUserInterface& ui_;
  std::vector<float> lastSeen_;
  // Whether the mix is still `lastSeen_`; asked every pass, so nothing is copied.
  bool unchanged() const;
  uint32_t lastChange_ = 0;
  bool pending_ = false;
  bool failureShown_ = false;
};

}  // namespace velmora
