// A velmoractl verb's time with the hardware abstraction: the unit list scanned, one unit
// opened the way the control panel's idle pass opens it (retrying while the unit is kicked to
// the agreed rate or comes back on the bus), and everything closed at the end.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_user_interface.h"
#include "control_panel/hal/bus_change_watcher.h"
#include "control_panel/hal/velmora_hal.h"

namespace velmoractl {

class HalSession {
 public:
  // How long opening (and finishing a rate change) may take before giving up.
  static constexpr uint32_t kPatienceMs = 15000;
  // The idle pass tries to reopen every 8th pass of 15 ms.
  static constexpr uint32_t kRetryMs = 120;

  HalSession();
  ~HalSession();
  HalSession(const HalSession&) = delete;
  HalSession& operator=(const HalSession&) = delete;

  velmora::VelmoraHAL& hal() { return *velmora::VelmoraHAL::Get(); }

  // Opens unit `index` of the list; false with the reason in error().
  bool OpenUnit(uint32_t index);
  // Keeps answering bus changes and reopening until `done` holds with the unit open, for at
  // most kPatienceMs; false with the reason in error().
  bool ReopenUntil(const std::function<bool()>& done, const std::string& waitingFor);

  const std::string& error() const { return error_; }
  CliUserInterface& ui() { return ui_; }

 private:
  bool attempt();
  bool reasonFromUser(const std::string& fallback);

  CliUserInterface ui_;
  velmora::BusChangeWatcher watcher_;
  std::string error_;
};

}  // namespace velmoractl
