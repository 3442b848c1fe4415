#include "updater/driver_sample_rate.h"

#include "platform/vhpd_client.h"
#include "platform/vhpd_protocol.h"
#include "platform/win_error.h"

namespace updater {

namespace {
constexpr uint32_t kDownloadSampleRate = 48000;
}

void resetDriverSampleRate() {
  namespace pv = platform::vhpd;
  pv::VhpdClient& driver = pv::client();
  if (driver.openDriverSettingsKey(pv::kStudioSettingsKey) != platform::win_error::Success) return;
  // A rate that cannot be stored stays as it was; the download goes on regardless.
  static_cast<void>(
      driver.writeDriverSetting(pv::kStudioSettingsKey, pv::kSampleRateValue, kDownloadSampleRate));
}

}  // namespace updater
