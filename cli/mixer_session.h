// A velmoractl verb's time with the mixer, in the control panel's life cycle: the unit
// opened, its default mix file loaded quietly, the verb's action, one mixer update cycle,
// the default mix file saved, the unit closed.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "cli/hal_session.h"
#include "control_panel/mixer/mixer_host.h"
#include "control_panel/mixer/velmora_plugin.h"

namespace velmoractl {

class MixerSession {
 public:
  MixerSession();
  ~MixerSession();

  // Opens unit `index` and loads its default mix; false with the reason in error().
  bool Start(uint32_t index);
  // Sends the mix to the unit and saves its default mix file.
  void Finish();

  velmora::VelmoraPlugin& plugin() { return plugin_; }
  velmora::MixerHost& host() { return *host_; }
  HalSession& session() { return session_; }
  const std::string& error() const { return session_.error(); }

 private:
  std::string defaultMixFile();

  HalSession session_;
  velmora::VelmoraPlugin plugin_;
  std::unique_ptr<velmora::MixerHost> host_;
};

}  // namespace velmoractl
