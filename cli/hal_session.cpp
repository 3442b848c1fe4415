#include "cli/hal_session.h"

#include "platform/clock.h"

namespace velmoractl {

HalSession::HalSession() {
  velmora::VelmoraHAL::Create(*this);
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
  if (!messages_.empty()) {
    error_ = messages_.back();
  } else if (!statusLines_.empty() && statusLines_.back().find("ready") == std::string::npos) {
    error_ = fallback + " (" + statusLines_.back() + ")";
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
    if (!messages_.empty()) return reasonFromUser(waitingFor);
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
  return ReopenUntil([] { return true; }, "the unit did not open");
}

}  // namespace velmoractl
