#include "cli/hal_session.h"

#include "platform/clock.h"

namespace velmoractl {

HalSession::HalSession() {
  velmora::VelmoraHAL::Create(ui_);
}

HalSession::~HalSession() {
  velmora::VelmoraHAL::Destroy();
}

bool HalSession::attempt() {
  // While the unit is away (may-open cleared) the bus is also rescanned on each attempt: a
  // bus that only moves when asked (the in-process one) would otherwise never show it back.
  if (watcher_.TakeChange() || !hal().MayOpen()) hal().OnMSWDeviceChange();
  return hal().EnsureOpen();
}

bool HalSession::reasonFromUser(const std::string& fallback) {
  // What the control panel would have shown is the best reason there is.
  const auto& status = ui_.statusLines();
  if (!ui_.messages().empty()) {
    error_ = ui_.messages().back();
  } else if (!status.empty() && status.back().find("ready") == std::string::npos) {
    error_ = fallback + " (" + status.back() + ")";
  } else {
    error_ = fallback;
  }
  return false;
}

bool HalSession::ReopenUntil(const std::function<bool()>& done, const std::string& waitingFor) {
  platform::Clock& clock = platform::clock();
  const uint32_t start = clock.tickCount();
  for (;;) {
    if (attempt() && done()) return true;
    // A message box (the power-cycle reminder) asks the user to act: no use waiting.
    if (!ui_.messages().empty()) return reasonFromUser(waitingFor);
    if (platform::ticksElapsed(start, clock.tickCount()) >= kPatienceMs) {
      return reasonFromUser(waitingFor);
    }
    clock.sleep(kRetryMs);
  }
}

bool HalSession::OpenUnit(uint32_t index) {
  if (velmora::VelmoraHAL::UnitCount() == 0) {
    error_ = "no Velmora PRO unit found";
    return false;
  }
  const velmora::UnitSerial serial = velmora::VelmoraHAL::SerialAt(index);
  if (serial == velmora::kNoSuchUnit) {
    error_ = "no unit with index " + std::to_string(index);
    return false;
  }
  hal().SetCurrentSerial(serial);
  if (!ReopenUntil([] { return true; }, "the unit did not open")) return false;
  hal().GetSampleRate();  // as the control panel's idle pass polls it
  return true;
}

}  // namespace velmoractl
