#include "cli/mixer_session.h"

#include "control_panel/mixer/mix_file_format.h"

namespace velmoractl {

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

bool MixerSession::Start(uint32_t index) {
  if (!session_.OpenUnit(index)) return false;
  host_->loadMixFile(defaultMixFile(), true);
  return true;
}

void MixerSession::Finish() {
  session_.hal().updateAllMixers();
  host_->saveMixFile(defaultMixFile());
}

}  // namespace velmoractl
