// Resetting a unit into its boot loader or back into its application, and finding it again
// when it left the bus for the reset.
#include <algorithm>
#include <cstdio>

#include "fwdl/kvo_fwdl_device.h"
#include "fwdl/logging/library_log.h"
#include "platform/clock.h"
#include "platform/win_error.h"

namespace fwdl {

namespace pv = platform::vhpd;
namespace we = platform::win_error;

namespace {

constexpr uint32_t kReopenIntervalMs = 50;
constexpr uint32_t kResetPollIntervalMs = 100;
constexpr uint32_t kProt1and2SettleMs = 2000;
constexpr uint32_t kProt3SettleMs = 500;
constexpr uint32_t kProt3MinimumLimitMs = 60000;
constexpr uint32_t kGoneProbeMs = 1000;  // one read that tells whether a unit has left

std::string GuidText(const std::array<uint8_t, 8>& guid) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%02X%02X%02X%02X%02X%02X%02X%02X", guid[0], guid[1], guid[2],
                guid[3], guid[4], guid[5], guid[6], guid[7]);
  return text;
}

}  // namespace

KVOFWDL_STATUS KvoFwdlDevice::Reopen(const std::array<uint8_t, 8>& savedGuid, uint32_t timeoutMs) {
  Log(LogType::Info, "KvoFwdlDevice::Reopen ...\n");
  Log(LogType::Info, "Trying to reopen device %s\n", devicePath_.c_str());
  platform::Clock& clock = platform::clock();
  uint32_t waited = 0;
  for (;;) {
    const uint32_t error = OpenHandle(devicePath_);
    if (error == we::Success) break;
    if (waited >= timeoutMs) {
      Log(LogType::Error, "reopen failed, err=%u. Timeout=%u ms\n", error, timeoutMs);
      return KVOFWDL_STATUS_RESET_TIMEOUT;
    }
    clock.sleep(kReopenIntervalMs);
    waited += kReopenIntervalMs;
  }
  Log(LogType::Info, "Successfully reopened device %s\n", devicePath_.c_str());
  // Close() zeroed the block, so it is read; within what remains of the reopen time.
  if (const KVOFWDL_STATUS status = GetDeviceInfo(nullptr, false, TimeLeft(timeoutMs, waited));
      status != KVOFWDL_STATUS_SUCCESS) {
    Log(LogType::Error, "reopen device: GetDeviceInfo failed\n");
    Close();
    return status;
  }
  const std::array<uint8_t, 8> found = info_.GuidBytes();
  if (found != savedGuid) {
    Log(LogType::Error,
        "GUID in info register of reopend device is different. Old GUID = %s, new GUID = %s\n",
        GuidText(savedGuid).c_str(), GuidText(found).c_str());
    Close();
    return KVOFWDL_STATUS_DEVICE_OPEN_FAILED;
  }
  open_ = true;
  return KVOFWDL_STATUS_SUCCESS;
}

KVOFWDL_STATUS KvoFwdlDevice::CheckBootloaderMode(int type, const char* notHalted,
                                                  const char* notStarted) {
  if (type == RESET_HALT_IN_BOOTLOADER) {
    if (info_.BootloaderMode() == 0) {
      Log(LogType::Error, "%s", notHalted);
      return KVOFWDL_STATUS_BOOTLOADER_NOT_HALTED;
    }
  } else if (type == RESET_START_APPLICATION) {
    if (info_.BootloaderMode() != 0) {
      Log(LogType::Error, "%s", notStarted);
      return KVOFWDL_STATUS_APPLICATION_NOT_STARTED;
    }
  } else {
    return KVOFWDL_STATUS_FAILED;
  }
  return KVOFWDL_STATUS_SUCCESS;
}

KVOFWDL_STATUS KvoFwdlDevice::ResetProt1and2(int type) {
  Log(LogType::Info, "KvoFwdlDevice::ResetProt1and2 (type = %d) ...\n", type);
  const std::array<uint8_t, 8> saved = info_.GuidBytes();
  if (const KVOFWDL_STATUS status = RequestReset(static_cast<uint32_t>(type));
      status != KVOFWDL_STATUS_SUCCESS) {
    Log(LogType::Error, "ResetProt1and2: Request failed\n");
    return status;
  }
  platform::Clock& clock = platform::clock();
  clock.sleep(kProt1and2SettleMs);
  const uint32_t limit = Timeout(TIMEOUT_RESET);
  // Elapsed time counts the poll pauses and reads that used up what remained, never time that
  // passed for other threads: no wait outlasts the limit.
  uint32_t elapsed = 0;
  for (;;) {
    if (elapsed >= limit) {
      Log(LogType::Error,
          "ResetProt1and2: failed with timeout for given timeout period of %u ms while waiting "
          "for device to come up\n",
          limit);
      return KVOFWDL_STATUS_RESET_TIMEOUT;
    }
    UnitInfo scratch;
    const uint32_t wait = TimeLeft(limit, elapsed);
    const uint32_t result = Read(kInfoBlockAddress, scratch.Bytes().data(), unit_info::kSize, wait);
    if (result == pv::KVO_STATUS_TIMEOUT) elapsed += wait;
    Log(LogType::Info, "ResetProt1and2: Read return with result 0x%08X\n", result);
    if (result == we::Success) break;
    if (result == pv::KVO_STATUS_DEVICE_REMOVED || result == pv::KVO_STATUS_NOT_OPEN) {
      Close();
      if (const KVOFWDL_STATUS status = Reopen(saved, TimeLeft(limit, elapsed));
          status != KVOFWDL_STATUS_SUCCESS) {
        Log(LogType::Error, "Reset: Reopen failed\n");
        return status;
      }
    }
    clock.sleep(kResetPollIntervalMs);
    elapsed += kResetPollIntervalMs;
  }
  if (const KVOFWDL_STATUS status = GetDeviceInfo(nullptr, true, TimeLeft(limit, elapsed));
      status != KVOFWDL_STATUS_SUCCESS) {
    Log(LogType::Error, "ResetProt1and2: GetDeviceInfo failed\n");
    return status;
  }
  if (const KVOFWDL_STATUS status = CheckBootloaderMode(
          type, "ResetProt1and2: bootloader couldn\xB4t halt in bootloader modus\n",
          "ResetProt1and2: bootloader couldn\xB4t start downloaded "
          "application\n");
      status != KVOFWDL_STATUS_SUCCESS) {
    return status;
  }
  Log(LogType::Info, "]KvoFwdlDevice::ResetProt1and2\n");
  return KVOFWDL_STATUS_SUCCESS;
}

KVOFWDL_STATUS KvoFwdlDevice::ResetProt3(int type) {
  Log(LogType::Info, "KvoFwdlDevice::ResetProt3 (type = %d) ...\n", type);
  const std::array<uint8_t, 8> saved = info_.GuidBytes();
  if (const KVOFWDL_STATUS status = RequestReset(static_cast<uint32_t>(type));
      status != KVOFWDL_STATUS_SUCCESS) {
    Log(LogType::Error, "ResetProt3: Request failed\n");
    // A unit already gone took the request and left before confirming it; one still there did
    // not get it, and waiting a minute for it to leave would only end in a time-out.
    UnitInfo scratch;
    if (Read(kInfoBlockAddress, scratch.Bytes().data(), unit_info::kSize, kGoneProbeMs) !=
        pv::KVO_STATUS_DEVICE_REMOVED) {
      return status;
    }
  }
  platform::Clock& clock = platform::clock();
  clock.sleep(kProt3SettleMs);
  // A protocol-3 unit needs its time to leave the bus, whatever time-out was set.
  const uint32_t limit = std::max(Timeout(TIMEOUT_RESET), kProt3MinimumLimitMs);
  uint32_t elapsed = 0;
  for (;;) {
    if (elapsed >= limit) {
      Log(LogType::Error,
          "ResetProt3: failed with timeout for given timeout period of %u ms while waiting for "
          "device to come up\n",
          Timeout(TIMEOUT_RESET));
      return KVOFWDL_STATUS_RESET_TIMEOUT;
    }
    UnitInfo scratch;
    const uint32_t wait = TimeLeft(limit, elapsed);
    const uint32_t result = Read(kInfoBlockAddress, scratch.Bytes().data(), unit_info::kSize, wait);
    if (result == pv::KVO_STATUS_TIMEOUT) elapsed += wait;
    Log(LogType::Info, "ResetProt3: AsyncReadSync return with result 0x%08X\n", result);
    clock.sleep(kResetPollIntervalMs);
    elapsed += kResetPollIntervalMs;
    if (result == pv::KVO_STATUS_DEVICE_REMOVED) break;
  }
  Log(LogType::Info, "ResetProt3: Device has been removed. Reopening...\n");
  Close();
  // The unit may have left in the last poll, past a limit that is no multiple of the poll
  // interval: then nothing remains, and the reopen gets one try.
  if (const KVOFWDL_STATUS status = Reopen(saved, TimeLeft(limit, elapsed));
      status != KVOFWDL_STATUS_SUCCESS) {
    Log(LogType::Error, "Reset: Reopen failed\n");
    return status;
  }
  Log(LogType::Info, "ResetProt3: Device has been reopened successfully.\n");
  if (const KVOFWDL_STATUS status =
          CheckBootloaderMode(type, "ResetProt3: bootloader couldn\xB4t halt in bootloader modus\n",
                              "ResetProt3: bootloader couldn\xB4t start downloaded application\n");
      status != KVOFWDL_STATUS_SUCCESS) {
    return status;
  }
  Log(LogType::Info, "]KvoFwdlDevice::ResetProt3\n");
  return KVOFWDL_STATUS_SUCCESS;
}

}  // namespace fwdl
