#include "fwdl/kvo_fwdl_downloader.h"

#include <new>

#include "fwdl/device_enumeration.h"
#include "fwdl/guid_string.h"
#include "fwdl/kvo_fwdl_device.h"
#include "fwdl/kvo_static_device.h"
#include "fwdl/kwf_file.h"
#include "fwdl/logging/library_log.h"
#include "platform/clock.h"
#include "platform/unit_update_lock.h"
#include "platform/update_history.h"
#include "platform/win_error.h"

namespace fwdl {

namespace {

// Pauses of a download: for the unit to settle in its boot loader, for the driver before the
// audio devices start, for the audio devices before the node is cycled, for the node after.
constexpr uint32_t kAfterHaltMs = 3000;
constexpr uint32_t kBeforeStartAllMs = 1500;
constexpr uint32_t kBeforeNodeCycleMs = 1500;
constexpr uint32_t kAfterNodeCycleMs = 5000;

}  // namespace

KvoFwdlDownloader::~KvoFwdlDownloader() {
  WaitForThread();
}

KVOFWDL_STATUS KvoFwdlDownloader::StartDownload(const std::string& fileName, KvoDevice* device,
                                                uint32_t mode, uint32_t flags) {
  Log(LogType::Info, "KvoFwdlDownloader::StartDownload('%s') ...\n", fileName.c_str());
  // The worker reads the file it was given until it ends.
  if (IsRunning()) {
    Log(LogType::Error, "StartDownload: a download is running already.\n");
    return KVOFWDL_STATUS_DOWNLOAD_IN_PROGRESS;
  }
  auto file = std::unique_ptr<KwfFile>(new (std::nothrow) KwfFile);
  if (!file) return KVOFWDL_STATUS_FAILED;
  if (const KVOFWDL_STATUS status = file->OpenVerified(fileName);
      status != KVOFWDL_STATUS_SUCCESS) {
    Log(LogType::Error, "KvoFwdlDownloader::StartDownload: open file '%s' failed\n",
        fileName.c_str());
    return status;
  }
  // One writer per unit, across processes: a second updater, velmoractl or anything else
  // that downloads through this library is refused before the unit is touched, and the
  // control panel leaves a locked unit alone. The worker lets go of the lock at its end.
  if (device != nullptr) {
    uint32_t error = 0;
    unitLock_ = platform::lockUnitForUpdate(device->DevicePath(), error);
    if (!unitLock_) {
      if (error == platform::win_error::Busy) {
        Log(LogType::Error,
            "StartDownload: the unit %s is being updated by another program (lock %s held)\n",
            device->DevicePath().c_str(),
            platform::unitUpdateLockName(device->DevicePath()).c_str());
        return KVOFWDL_STATUS_DOWNLOAD_IN_PROGRESS;
      }
      Log(LogType::Error, "StartDownload: the unit's update lock cannot be made: error = 0x%08X\n",
          error);
      return KVOFWDL_STATUS_FAILED;
    }
  }
  ownedFile_ = std::move(file);
  if (device != nullptr) {
    const UnitInfo& unit = device->Info();
    history_ = platform::UpdateRecord{};
    history_.serial = unit.GuidLow();
    if (unit.BootloaderMode() == 0) history_.before = unit.FirmwareVersion();
  }
  if (const KVOFWDL_STATUS status =
          Downloader::StartDownload(ownedFile_.get(), device, mode, flags);
      status != KVOFWDL_STATUS_SUCCESS) {
    Log(LogType::Error, "KvoFwdlDownloader::StartDownload: starting download failed\n");
    ownedFile_.reset();
    file_ = nullptr;
    unitLock_.reset();
    return status;
  }
  return KVOFWDL_STATUS_SUCCESS;
}

void KvoFwdlDownloader::ThreadRoutine() {
  Log(LogType::Info, "KvoFwdlDownloader::ThreadRoutine ...\n");
  Downloader::ThreadRoutine();
  ownedFile_.reset();
  file_ = nullptr;
  unitLock_.reset();  // after a job that threw; Download lets go of it itself
}

// The record is written and the unit let go of before the result becomes the download's
// status: a caller that sees the status finds both done.
KVOFWDL_STATUS KvoFwdlDownloader::Download() {
  const KVOFWDL_STATUS result = UpdateUnit();
  history_.status = result;
  if (!platform::appendUpdateHistory(history_)) {
    Log(LogType::Warning, "the update could not be added to the history file '%s'\n",
        platform::updateHistoryPath().c_str());
  }
  unitLock_.reset();
  return result;
}

KVOFWDL_STATUS KvoFwdlDownloader::UpdateUnit() {
  Log(LogType::Info, "KvoFwdlDownloader::Download ... \n");
  auto* device = dynamic_cast<KvoFwdlDevice*>(device_);
  if (device == nullptr || !device->IsOpen()) {
    Log(LogType::Error, "Download: device is not open.\n");
    return KVOFWDL_STATUS_FAILED;
  }
  uint32_t conditions = 0;
  if (const KVOFWDL_STATUS status = CheckDownload(file_, device, conditions);
      status != KVOFWDL_STATUS_SUCCESS) {
    Log(LogType::Error, "Download: check of download conditions failed\n");
    return status;
  }
  if (conditions & KVOFWDL_COND_NOT_POSSIBLE) {
    Log(LogType::Error, "download aborted due to incompatible hardware\n");
    return KVOFWDL_STATUS_INCOMPATIBLE_HARDWARE;
  }
  if (conditions & KVOFWDL_COND_CNE_MISSING) {
    Log(LogType::Error, "download aborted due to firmware without required CnE data\n");
    return KVOFWDL_STATUS_NO_CNE_DATA;
  }

  // Windows refuses the node cycle at the end to a process without the rights; finding that
  // out then would leave a unit written with new firmware and a driver that never reloaded.
  bool mayCycleNode = false;
  if (const KVOFWDL_STATUS status = device->MayChangeState(mayCycleNode);
      status != KVOFWDL_STATUS_SUCCESS) {
    return status;
  }
  if (!mayCycleNode) {
    Log(LogType::Error,
        "Download: the unit's device node cannot be disabled and enabled without administrator "
        "rights: error = 0x%08X; the unit was not touched\n",
        platform::win_error::AccessDenied);
    return KVOFWDL_STATUS_FAILED;
  }

  KvoStaticDevice driver(ControlDeviceName(enumeration_.InterfaceGuid()));
  Log(LogType::Info, "stopping device...\n");
  if (const KVOFWDL_STATUS status = driver.StopAllDevices(); status != KVOFWDL_STATUS_SUCCESS) {
    Log(LogType::Error, "Download: StopAllDevices failed\n");
    return status;
  }
  if (conditions & KVOFWDL_COND_CNE_REQUIRED) mode_ = MODE_PROGRAM_AND_CNE;

  if (const KVOFWDL_STATUS status = WriteFirmware(*device); status != KVOFWDL_STATUS_SUCCESS) {
    // The computer's audio must not stay off because the unit failed: whatever state the unit
    // is in, the audio devices that were stopped for it run again.
    if (driver.StartAllDevices() == KVOFWDL_STATUS_SUCCESS) {
      Log(LogType::Info, "Download: audio devices started again after the failure\n");
    } else {
      Log(LogType::Error, "Download: StartAllDevices failed\n");
    }
    return status;
  }

  platform::Clock& clock = platform::clock();
  clock.sleep(kBeforeStartAllMs);
  if (const KVOFWDL_STATUS status = driver.StartAllDevices(); status != KVOFWDL_STATUS_SUCCESS) {
    Log(LogType::Error, "Download: StartAllDevices failed\n");
    return status;
  }

  clock.sleep(kBeforeNodeCycleMs);
  bool rebootForDisable = false;
  if (const KVOFWDL_STATUS status = device->Disable(rebootForDisable);
      status != KVOFWDL_STATUS_SUCCESS) {
    Log(LogType::Error, "Reset: disabling device failed with KVOFWDL_STATUS 0x%08X\n", status);
    return status;
  }
  bool rebootForEnable = false;
  if (const KVOFWDL_STATUS status = device->Enable(rebootForEnable);
      status != KVOFWDL_STATUS_SUCCESS) {
    Log(LogType::Error, "Reset: enabling device failed with KVOFWDL_STATUS 0x%08X\n", status);
    return status;
  }
  clock.sleep(kAfterNodeCycleMs);
  if (rebootForDisable || rebootForEnable) return KVOFWDL_STATUS_REBOOT_REQUIRED;
  Log(LogType::Info, "]KvoFwdlDownloader::Download\n");
  return KVOFWDL_STATUS_SUCCESS;
}

KVOFWDL_STATUS KvoFwdlDownloader::WriteFirmware(KvoFwdlDevice& device) {
  const uint32_t protocol = device.Info().ProtocolVersion();
  const bool streamed = protocol == 3;
  if (protocol != 1 && protocol != 2 && !streamed) {
    Log(LogType::Error, "Download: unexpected download protocol.\n");
    return KVOFWDL_STATUS_FAILED;
  }
  auto reset = [&](int type) {
    return streamed ? device.ResetProt3(type) : device.ResetProt1and2(type);
  };
  if (const KVOFWDL_STATUS status = reset(RESET_HALT_IN_BOOTLOADER);
      status != KVOFWDL_STATUS_SUCCESS) {
    Log(LogType::Error, "Download: reset device failed\n");
    return status;
  }
  platform::clock().sleep(kAfterHaltMs);
  if (const KVOFWDL_STATUS status = streamed ? DownloadProt3() : DownloadProt1and2();
      status != KVOFWDL_STATUS_SUCCESS) {
    Log(LogType::Error,
        streamed ? "Download: DownloadProt3 failed with KVOFWDL_STATUS 0x%08X.\n"
                 : "Download: DownloadProt1and2 failed with KVOFWDL_STATUS 0x%08X.\n",
        status);
    return status;
  }
  if (const KVOFWDL_STATUS status = reset(RESET_START_APPLICATION);
      status != KVOFWDL_STATUS_SUCCESS) {
    Log(LogType::Error, "Download: reset device failed\n");
    return status;
  }
  // The reset read the unit's information afresh: what it runs now.
  history_.after = device.Info().FirmwareVersion();
  return ConfirmFirmware(device);
}

// The reset to the application read the unit's information afresh: a unit that came back with
// other firmware than the file's was not updated, whatever the boot loader answered.
KVOFWDL_STATUS KvoFwdlDownloader::ConfirmFirmware(KvoFwdlDevice& device) const {
  if (mode_ != MODE_PROGRAM_AND_CNE && mode_ != MODE_PROGRAM) return KVOFWDL_STATUS_SUCCESS;
  const uint32_t running = device.Info().FirmwareVersion();
  const uint32_t expected = file_->FirmwareVersion();
  if (running != expected) {
    Log(LogType::Error,
        "Download: the unit runs firmware 0x%08X after the update, not 0x%08X of the file\n",
        running, expected);
    return KVOFWDL_STATUS_FIRMWARE_NOT_CONFIRMED;
  }
  Log(LogType::Info, "Download: the unit runs firmware 0x%08X of the file\n", running);
  return KVOFWDL_STATUS_SUCCESS;
}

}  // namespace fwdl
