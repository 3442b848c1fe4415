// The settings that change how the current unit runs, and what it reads back.
#include <cstring>

#include "control_panel/device/diagnostic_log.h"
#include "control_panel/hal/unit_coefficients.h"
#include "control_panel/hal/velmora_hal.h"
#include "platform/clock.h"
#include "platform/unit_info_block.h"
#include "platform/vhpd_client.h"

namespace velmora {

namespace pv = platform::vhpd;

namespace {

std::string format(const char* pattern, int value) {
  char text[128];
  std::snprintf(text, sizeof text, pattern, value);
  return text;
}

}  // namespace

bool VelmoraHAL::SetSampleRate(uint32_t hz) {
  if (!open_) return false;
  if (static_cast<float>(hz) == driverRate_) {
    Log("VelmoraHAL::SetSampleRate(%d) - already at this rate\n", static_cast<int>(hz));
    return true;
  }
  Log("VelmoraHAL::SetSampleRate(%d)\n", static_cast<int>(hz));
  ui_.ShowStatus(format("Setting sample rate to %d Hz, please wait...", static_cast<int>(hz)));
  if (!mAVC) {
    Log("mAVC == NULL SetSampleRate(%d), bad.\n", static_cast<int>(hz));
    return false;
  }
  const uint32_t code = SampleRateCode(hz);
  const CoefficientValue pair{coeff::COEFF_SAMPLE_RATE, code};
  const uint32_t status = mAVC->SetValues(&pair, 1);
  if (status != 0) {
    if (status == pv::VHPD_STATUS_INVALID_GEN_COUNT) {
      Log("mAVC->SetValue failed in SetSampleRate(%d), VHPD_STATUS_INVALID_GEN_COUNT\n",
          static_cast<int>(hz));
    } else {
      Log("mAVC->SetValue failed in SetSampleRate(%d), ", static_cast<int>(hz));
      Log("error 0x%p - Closing...\n", LogPtr(status));
    }
    Close();
    return false;
  }
  SaveToCnE();
  targetRate_ = static_cast<float>(hz);
  if (SampleRateChangeWouldSwitchBands(code)) {
    LogText("Switching AVC models...\n");
    pv::VhpdClient& driver = pv::client();
    const char* key = IsLargeModel() ? pv::kStudioSettingsKey : pv::kCompactSettingsKey;
    if (const uint32_t error = driver.openDriverSettingsKey(key); error != 0) {
      Log("Failed to open SampleRate[Hz] registry key - error 0x%p\n", LogPtr(error));
    } else if (const uint32_t error = driver.writeDriverSetting(key, pv::kSampleRateValue, hz);
               error != 0) {
      Log("Failed setting SampleRate[Hz] registry key - error 0x%p\n", LogPtr(error));
    }
    ArmPowerCycleReminder();
    mayOpen_ = false;
  }
  Close();
  return true;
}

bool VelmoraHAL::SampleRateChangeWouldSwitchBands(uint32_t newCode) {
  const uint32_t current = RateBand(SampleRateCode(static_cast<uint32_t>(driverRate_)));
  const uint32_t wanted = RateBand(newCode);
  Log("SampleRateChangeWouldSwitchBands() - cur: %d ", static_cast<int>(current));
  Log("new: %d\n", static_cast<int>(wanted));
  return current != wanted;
}

int VelmoraHAL::GetSampleRate() {
  if (!open_ || !mAudioDriver) return static_cast<int>(driverRate_);
  uint8_t record[pv::kSampleRateGetSize] = {};
  uint32_t hz = 0;
  const uint32_t status =
      mAudioDriver->Poll(pv::IOCTL_VHPD_GET_SAMPLE_RATE, nullptr, 0, record, sizeof record);
  if (status == 0) hz = pv::loadLe32(record + 4);
  reportDriverAnswering(status != pv::KVO_STATUS_TIMEOUT);
  if (static_cast<float>(hz) != driverRate_) {
    driverRate_ = static_cast<float>(hz);
    resetAllSentValues();
    notifyObservers(kHalEventRefresh);
  }
  return static_cast<int>(hz);
}

void VelmoraHAL::reportDriverAnswering(bool answering) {
  if (answering == driverAnswering_) return;
  driverAnswering_ = answering;
  if (answering) {
    ui_.ShowStatus("The FireWire driver answers again");
  } else {
    LogText("The FireWire driver does not answer\n");
    ui_.ShowStatus("The FireWire driver does not answer (status 0x" +
                   format("%08X", static_cast<int>(pv::KVO_STATUS_TIMEOUT)) +
                   "); it is asked again at growing intervals");
  }
}

bool VelmoraHAL::IsStreaming() {
  if (!open_ || !mAudioDriver) return false;
  uint8_t counters[pv::kStreamCountersSize] = {};
  if (mAudioDriver->Poll(pv::IOCTL_VHPD_GET_STREAM_COUNTERS, nullptr, 0, counters,
                         sizeof counters) != 0) {
    return false;
  }
  return pv::loadLe32(counters) + pv::loadLe32(counters + 4) != 0;
}

bool VelmoraHAL::SetSyncSource(int code) {
  if (!open_) return false;
  LogText(("SetSyncSource(" + std::string(SyncSourceName(code)) + ")\n ").c_str());
  if (code == syncSource_) {
    LogText("already set\n");
    return true;
  }
  syncSource_ = code;
  if (!SetValue(coeff::COEFF_SYNC, static_cast<uint32_t>(code))) {
    LogText("SetValue failed in SetSyncSource()\n");
    return false;
  }
  return true;
}

int VelmoraHAL::GetSyncSource() {
  uint32_t value = 0;
  if (open_ && mAVC && GetValue(coeff::COEFF_SYNC, value)) {
    syncSource_ = static_cast<int>(value & 0xFF);
  }
  return syncSource_;
}

int VelmoraHAL::GetSyncStatus() {
  uint32_t value = 0;
  if (!open_ || !GetValue(coeff::COEFF_SYNC, value)) return -1;
  return static_cast<int>((value >> 8) & 0xFF);
}

void VelmoraHAL::SetReducedAVCModel(bool disableAdat) {
  if (!open_ || disableAdat == reducedModel_) return;
  LogText(disableAdat ? "SetReducedAVCModel(true) " : "SetReducedAVCModel(false) ");
  ui_.ShowStatus(std::string(disableAdat ? "Disabling " : "Enabling ") +
                 " ADAT inputs, please wait...");
  if (SetValue(coeff::COEFF_REDUCED_MODEL, disableAdat ? 1 : 0)) {
    LogText("ok\n");
    Close();
    ArmPowerCycleReminder();
    mayOpen_ = false;
    reducedModel_ = disableAdat;
  } else {
    LogText("FAILED!\n");
  }
}

void VelmoraHAL::SetAC3Passthrough(bool on) {
  if (!open_ || on == ac3_) return;
  const std::string action = on ? "Enabling " : "Disabling ";
  ui_.ShowStatus(action + " AC3 passthrough, please wait...");
  LogText((action + " AC3 passthrough, please wait... ").c_str());
  if (SetValue(coeff::COEFF_AC3, on ? 1 : 0)) {
    ac3_ = on;
    LogText("OK\n");
    Close();
    ArmPowerCycleReminder();
    Open(serial_);
  } else {
    LogText("FAILED!\n");
  }
}

bool VelmoraHAL::SetStandaloneMode(bool tracking) {
  if (!SetValue(coeff::COEFF_STANDALONE, tracking ? 1 : 0)) return false;
  tracking_ = tracking;
  SaveToCnE();
  return true;
}

bool VelmoraHAL::IsHardwareMonitoring() {
  if (!open_ || !mAVC) return false;
  uint32_t value = 0;
  return GetValue(coeff::COEFF_HW_MONITORING, value) && value != 0;
}

bool VelmoraHAL::SetModeFlag(bool on) {
  return SetValue(coeff::COEFF_HW_MUTE, on ? 1 : 0);
}

bool VelmoraHAL::GetUnitName(UnitSerial serial, char name[17]) {
  std::memset(name, 0, 17);
  cvAVC* avc = FindUnitAVC(serial);
  if (!avc) return false;
  CoefficientValue words[coeff::COEFF_NAME_WORDS];
  for (uint32_t i = 0; i < coeff::COEFF_NAME_WORDS; ++i) words[i] = {coeff::COEFF_NAME + i, 0};
  if (avc->GetValues(words, coeff::COEFF_NAME_WORDS) != 0) {
    LogText(" - FAILED!\n");
    return false;
  }
  for (uint32_t i = 0; i < coeff::COEFF_NAME_WORDS; ++i) {
    for (int b = 0; b < 4; ++b) {
      name[4 * i + b] = static_cast<char>(words[i].value >> (24 - 8 * b));
    }
  }
  LogText((" - OK - " + std::string(name) + "\n").c_str());
  return true;
}

bool VelmoraHAL::SetUnitName(const std::string& text) {
  if (!open_) return false;
  uint8_t bytes[16] = {};
  std::memcpy(bytes, text.data(), std::min<size_t>(text.size(), 16));
  CoefficientValue words[coeff::COEFF_NAME_WORDS];
  for (uint32_t i = 0; i < coeff::COEFF_NAME_WORDS; ++i) {
    words[i] = {coeff::COEFF_NAME + i, uint32_t{bytes[4 * i]} << 24 |
                                           uint32_t{bytes[4 * i + 1]} << 16 |
                                           uint32_t{bytes[4 * i + 2]} << 8 | bytes[4 * i + 3]};
  }
  if (!SetValues(words, coeff::COEFF_NAME_WORDS)) return false;
  SaveToCnE();
  showReadyText();
  return true;
}

void VelmoraHAL::SaveToCnE() {
  if (!open_ || !mAVC) return;
  LogText("VelmoraHAL::SaveToCnE() ");
  const CoefficientValue pair{coeff::COEFF_SAVE_TO_CNE, 0};
  const uint32_t status = mAVC->SetValues(&pair, 1);  // a failure does not close
  platform::clock().sleep(100);
  if (status == 0) {
    LogText("ok\n");
  } else {
    Log("failed (0x%p) - but do we care?\n", LogPtr(status));
  }
}

bool VelmoraHAL::GetKWFInfo(int& major, int& minor, int& build) {
  LogText("VelmoraHAL::GetKWFInfo() ");
  major = minor = build = 0;
  if (!mAVC) {
    LogText("mAVC == NULL, failed\n");
    return false;
  }
  if (!mAVC->InfoBlockValid()) {
    LogText("mAVC ok, but KWF invalid\n");
    return false;
  }
  LogText("ok\n");
  const uint32_t version =
      pv::loadLe32(mAVC->InfoBlock().data() + platform::unit_info::kFirmwareVersion);
  major = static_cast<int>(version >> 24);
  minor = static_cast<int>((version >> 16) & 0xFF);
  build = static_cast<int>(version & 0xFFFF);
  return true;
}

}  // namespace velmora
