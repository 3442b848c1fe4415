// A velmoractl verb's time with the mixer, in the control panel's life cycle: the unit
// opened, its default mix file read, the verb's action, and only for a verb that changed the
// mix and succeeded: one mixer update cycle and the default mix file saved. The unit is
// closed at the end.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "cli/hal_session.h"
#include "control_panel/mixer/mixer_host.h"
#include "control_panel/mixer/velmora_plugin.h"

namespace velmoractl {

// How a verb uses the unit's default mix file (the user's mix).
enum class DefaultMix {
  // Read into the parameter set without a question and without a word to the unit: a verb
  // that only reads, or one that copies the mix elsewhere.
  Show,
  // Loaded as the control panel loads it, its question answered by --yes/--no; declined or
  // unanswered, the verb stops before it changes anything.
  Apply,
  // Read as the base of a mix file about to be loaded over it; a damaged one is no obstacle.
  Replace,
};

class MixerSession {
 public:
  MixerSession();
  ~MixerSession();
  MixerSession(const MixerSession&) = delete;
  MixerSession& operator=(const MixerSession&) = delete;

  // Opens unit `index` and reads its default mix; false with the reason in error().
  bool Start(uint32_t index, DefaultMix use);
  // Sends the mix to the unit and saves its default mix file (which stores the unit's
  // settings in its flash); false with the reason in error().
  bool Finish();

  velmora::VelmoraPlugin& plugin() { return plugin_; }
  velmora::MixerHost& host() { return *host_; }
  HalSession& session() { return session_; }
  const std::string& error() const { return error_.empty() ? session_.error() : error_; }

  // Why a declined or unanswered question stopped a verb, and how to go on.
  std::string declinedReason(const std::string& what);

 private:
  std::string defaultMixFile();

  HalSession session_;
  velmora::VelmoraPlugin plugin_;
  std::unique_ptr<velmora::MixerHost> host_;
  std::string error_;
};

}  // namespace velmoractl
