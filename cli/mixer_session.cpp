#include "cli/mixer_session.h"

#include "control_panel/mixer/mix_file_format.h"

namespace velmoractl {

using MixLoad = velmora::MixerHost::MixLoad;

MixerSession::MixerSession()
    : host_(std::make_unique<velmora::MixerHost>(plugin_, session_.hal(), session_.ui())) {
  plugin_.setHost(host_.get());
  session_.hal().AttachMixer(host_.get());
}

MixerSession::~MixerSession() {
  session_.hal().AttachMixer(nullptr);
  plugin_.setHost(nullptr);
}

std::string MixerSession::defaultMixFile() {
  const velmora::UnitSerial serial = session_.hal().CurrentSerial();
  return velmora::defaultMixFilePath(serial.low, serial.high);
}

std::string MixerSession::declinedReason(const std::string& what) {
  const auto& question = session_.ui().unansweredQuestion();
  const std::string how =
      "answer with --yes or --no, or set the unit to the mix's sample rate first";
  if (question) return *question + "\nNothing was changed: " + what + " needs an answer; " + how;
  return what + " was declined, so nothing was changed (to go on: " + how + ")";
}

bool MixerSession::Start(uint32_t index, DefaultMix use) {
  if (!session_.OpenUnit(index)) return false;
  const std::string path = defaultMixFile();
  // Only a changing verb asks; and when declined it must not send the settings either.
  const velmora::MixerHost::MixLoadResult result =
      use == DefaultMix::Apply ? host_->loadMix(path, true, false) : host_->showMixFile(path);
  switch (result.outcome) {
    case MixLoad::Applied:
    case MixLoad::Missing:  // no mix saved yet: the program's defaults, as on a first start
      return true;
    case MixLoad::Declined:
      error_ = declinedReason("the unit's default mix " + path);
      return false;
    case MixLoad::Rejected:
      if (use == DefaultMix::Replace) return true;
      error_ = "the unit's default mix file " + path +
               " cannot be used: " + velmora::MixFileMessage(result.check) +
               " Nothing was changed; replace it with mix load, or move it away to start from "
               "the program's defaults.";
      return false;
    case MixLoad::Unreadable:
      if (use == DefaultMix::Replace) return true;
      error_ = "cannot read the unit's default mix file " + path;
      return false;
  }
  return false;
}

bool MixerSession::Finish() {
  session_.hal().updateAllMixers();
  const std::string path = defaultMixFile();
  if (host_->saveMixFile(path)) return true;
  error_ = "cannot write the unit's default mix file " + path;
  return false;
}

}  // namespace velmoractl
