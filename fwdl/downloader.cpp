#include "fwdl/downloader.h"

#include <algorithm>
#include <exception>
#include <new>
#include <vector>

#include "fwdl/kvo_device.h"
#include "fwdl/kwf_file.h"
#include "fwdl/logging/library_log.h"

namespace fwdl {

namespace {

constexpr uint32_t kFileVersionForObjects = 0;
constexpr uint32_t kFileVersionForStream = 1;

}  // namespace

Downloader::~Downloader() {
  WaitForThread();
}

bool Downloader::IsDownloadRunning() const {
  return IsRunning();
}

KVOFWDL_STATUS Downloader::CheckDownload(KwfFile* file, KvoDevice* device, uint32_t& conditions) {
  Log(LogType::Info, "Downloader::CheckDownload ...\n");
  if (file == nullptr || !file->IsOpen()) {
    Log(LogType::Error, "CheckDownload: file is not open.\n");
    return KVOFWDL_STATUS_FILE_NOT_OPEN;
  }
  if (device == nullptr || !device->IsUsable()) {
    Log(LogType::Error, "CheckDownload: device is not open.\n");
    return KVOFWDL_STATUS_DEVICE_NOT_OPEN;
  }
  conditions = 0;
  const UnitInfo& unit = device->Info();
  const uint32_t protocol = unit.ProtocolVersion();

  if (protocol < 1 || protocol > 3) {
    conditions = KVOFWDL_COND_NOT_POSSIBLE | KVOFWDL_COND_UNSUPPORTED_PROTOCOL;
    Log(LogType::Info, "CheckDownload: device with unsupported protocol version %u\n", protocol);
    return KVOFWDL_STATUS_SUCCESS;
  }
  const uint32_t expectedVersion = protocol == 3 ? kFileVersionForStream : kFileVersionForObjects;
  if (file->FileVersion() != expectedVersion) {
    conditions = KVOFWDL_COND_NOT_POSSIBLE | KVOFWDL_COND_FILE_VERSION_MISMATCH;
    Log(LogType::Info,
        "CheckDownload: device protocol = %u, expected file version = %u, given file version = "
        "%u\n",
        protocol, expectedVersion, file->FileVersion());
    return KVOFWDL_STATUS_SUCCESS;
  }
  if (!skipHardwareCheck_ && file->CompatibleHardwareVersion() != unit.HardwareModelID()) {
    conditions = KVOFWDL_COND_NOT_POSSIBLE | KVOFWDL_COND_HARDWARE_MISMATCH;
    Log(LogType::Info,
        "CheckDownload: hardware version mismatch: CompatibleHardwareVersion (file) = 0x%X, "
        "HardwareModelID (device) = 0x%X\n",
        file->CompatibleHardwareVersion(), unit.HardwareModelID());
  }
  // Protocol 3 also checks the vendor and reports both mismatches together.
  if (protocol == 3 && !skipVendorCheck_) {
    const auto vendor = file->NodeVendorId();  // least significant byte first
    const uint32_t fileVendor =
        uint32_t{vendor[2]} << 16 | uint32_t{vendor[1]} << 8 | uint32_t{vendor[0]};
    const uint32_t unitVendor = unit.GuidHigh() >> 8;
    if (fileVendor != unitVendor) {
      conditions |= KVOFWDL_COND_NOT_POSSIBLE | KVOFWDL_COND_VENDOR_MISMATCH;
      Log(LogType::Info,
          "CheckDownload: vendor ID mismatch: NodeVendorId (file) = 0x%02X%02X%02X, upper Guid "
          "bytes (device) = 0x%02X%02X%02X\n",
          vendor[0], vendor[1], vendor[2], (unitVendor >> 16) & 0xFF, (unitVendor >> 8) & 0xFF,
          unitVendor & 0xFF);
    }
  }
  if (conditions & KVOFWDL_COND_NOT_POSSIBLE) return KVOFWDL_STATUS_SUCCESS;

  bool cnERequired = mode_ == MODE_PROGRAM_AND_CNE || mode_ == MODE_CNE;
  if (mode_ == MODE_PROGRAM) {
    cnERequired = unit.SoftwareId() == 0 || unit.SoftwareId() != file->SoftwareId();
  }
  if (cnERequired) {
    conditions |= KVOFWDL_COND_CNE_REQUIRED;
    if (!file->HasCnE()) {
      conditions |= KVOFWDL_COND_CNE_MISSING;
      return KVOFWDL_STATUS_SUCCESS;
    }
  }
  if (file->SoftwareId() < unit.SoftwareId() ||
      (file->SoftwareId() == unit.SoftwareId() &&
       file->FirmwareVersion() < unit.FirmwareVersion())) {
    conditions |= KVOFWDL_COND_DOWNGRADE;
  }
  return KVOFWDL_STATUS_SUCCESS;
}

KVOFWDL_STATUS Downloader::StartDownload(KwfFile* file, KvoDevice* device, uint32_t mode,
                                         uint32_t flags) {
  Log(LogType::Info, "Downloader::StartDownload ...\n");
  // The worker uses file, device and status until it ends.
  if (IsRunning()) {
    Log(LogType::Error, "StartDownload: a download is running already.\n");
    return KVOFWDL_STATUS_DOWNLOAD_IN_PROGRESS;
  }
  if (file == nullptr || !file->IsOpen()) {
    Log(LogType::Error, "StartDownload: file is not open.\n");
    return KVOFWDL_STATUS_FILE_NOT_OPEN;
  }
  if (device == nullptr || !device->IsUsable()) {
    Log(LogType::Error, "StartDownload: device is not open.\n");
    return KVOFWDL_STATUS_DEVICE_NOT_OPEN;
  }
  status_.StartRunning();
  file_ = file;
  device_ = device;
  mode_ = mode;
  skipHardwareCheck_ = (flags & KVOFWDL_START_SKIP_HARDWARE_CHECK) != 0;
  skipVendorCheck_ = (flags & KVOFWDL_START_SKIP_VENDOR_CHECK) != 0;
  if (const KVOFWDL_STATUS status = Start(); status != KVOFWDL_STATUS_SUCCESS) {
    Log(LogType::Error, "StartDownload: Start failed with KVOFWDL_STATUS 0x%08X.\n", status);
    file_ = nullptr;
    device_ = nullptr;
    mode_ = MODE_NONE;
    skipHardwareCheck_ = false;
    skipVendorCheck_ = false;
    // Nothing runs: the status must not stay "running".
    status_.SetStatus(KVOFWDL_STATUS_UNEXPECTED);
    return KVOFWDL_STATUS_UNEXPECTED;
  }
  return KVOFWDL_STATUS_SUCCESS;
}

void Downloader::ThreadRoutine() {
  Log(LogType::Info, "Downloader::ThreadRoutine ...\n");
  KVOFWDL_STATUS result = KVOFWDL_STATUS_FAILED;
  // Nothing thrown may end the host program, and the status must not stay "running".
  try {
    result = Download();
  } catch (const std::exception& e) {
    Log(LogType::Error, "ThreadRoutine: download ended by an unexpected exception: %s\n", e.what());
  } catch (...) {
    Log(LogType::Error, "ThreadRoutine: download ended by an unexpected exception\n");
  }
  mode_ = MODE_NONE;
  skipHardwareCheck_ = false;
  skipVendorCheck_ = false;
  status_.SetStatus(result);
}

bool Downloader::SelectObjects(uint32_t mode, Selection& selection) const {
  switch (mode) {
    case MODE_PROGRAM_AND_CNE:
      selection = {true, true, OBJ_PROGRAM};
      return true;
    case MODE_PROGRAM:
      selection = {false, true, OBJ_PROGRAM};
      return true;
    case MODE_CNE:
      selection = {true, false, OBJ_PROGRAM};
      return true;
    case MODE_BOOTLOADER:
      selection = {false, true, OBJ_BOOTLOADER};
      return true;
    default:
      return false;
  }
}

bool Downloader::ReadyToDownload(const char* procedure, uint32_t fileVersion,
                                 Selection& selection) const {
  if (device_ == nullptr || !device_->IsOpen()) {
    Log(LogType::Error, "%s: device is not open.\n", procedure);
    return false;
  }
  if (file_ == nullptr || !file_->IsOpen()) {
    Log(LogType::Error, "%s: file is not open.\n", procedure);
    return false;
  }
  if (file_->FileVersion() != fileVersion) {
    Log(LogType::Error, "%s: file version %u expected.\n", procedure, fileVersion);
    return false;
  }
  if (!SelectObjects(mode_, selection)) {
    Log(LogType::Error, "%s: unknown image type %d to download.\n", procedure,
        static_cast<int>(mode_));
    return false;
  }
  return true;
}

KVOFWDL_STATUS Downloader::DownloadProt1and2() {
  Log(LogType::Info, "Downloader::DownloadProt1and2 ...\n");
  Selection selection;
  if (!ReadyToDownload("DownloadProt1and2", kFileVersionForObjects, selection)) {
    return KVOFWDL_STATUS_FAILED;
  }
  uint32_t total = 0;
  if (selection.cnE) total += file_->CnELength();
  if (selection.image) total += file_->Image1Length();
  status_.SetTotalBytes(total);

  if (selection.cnE) {
    if (const KVOFWDL_STATUS status = device_->DownloadObject(OBJ_CNE, *file_, status_);
        status != KVOFWDL_STATUS_SUCCESS) {
      Log(LogType::Error, "DownloadProt1and2: Download of CnE data failed: status 0x%08X.\n",
          status);
      return status;
    }
  }
  if (selection.image) {
    if (const KVOFWDL_STATUS status = device_->DownloadObject(selection.imageType, *file_, status_);
        status != KVOFWDL_STATUS_SUCCESS) {
      Log(LogType::Error,
          "DownloadProt1and2: Download of image data of type %d failed: status 0x%08X.\n",
          static_cast<int>(selection.imageType), status);
      return status;
    }
  }
  return KVOFWDL_STATUS_SUCCESS;
}

KVOFWDL_STATUS Downloader::DownloadProt3() {
  Log(LogType::Info, "Downloader::DownloadProt3 ...\n");
  Selection selection;
  if (!ReadyToDownload("DownloadProt3", kFileVersionForStream, selection)) {
    return KVOFWDL_STATUS_FAILED;
  }
  const uint32_t fileSize = file_->FileSize();
  status_.SetTotalBytes(fileSize);

  // The boot loader leaves download state whatever ends the stream early; its answer to that
  // no longer matters: the failure that led here is what the caller is told.
  auto endAfterFailure = [this] {
    uint32_t ignoredCrc = 0;
    static_cast<void>(device_->DownloadEnd(ignoredCrc));
  };
  uint32_t block = 0xFFFFFFFF;
  if (selection.cnE) {
    uint32_t offered = 0;
    if (const KVOFWDL_STATUS status = device_->DownloadStart(OBJ_CNE, *file_, offered);
        status != KVOFWDL_STATUS_SUCCESS) {
      Log(LogType::Error, "DownloadProt3: start CnE download failed with KVOFWDL_STATUS 0x%08X.\n",
          status);
      return status;
    }
    block = std::min(block, offered);
  }
  if (selection.image) {
    uint32_t offered = 0;
    if (const KVOFWDL_STATUS status = device_->DownloadStart(selection.imageType, *file_, offered);
        status != KVOFWDL_STATUS_SUCCESS) {
      Log(LogType::Error,
          "DownloadProt3: start image download of type %d failed with KVOFWDL_STATUS 0x%08X.\n",
          static_cast<int>(selection.imageType), status);
      if (selection.cnE) endAfterFailure();
      return status;
    }
    block = std::min(block, offered);
  }

  if (const KVOFWDL_STATUS status = file_->ResetFilePtr(); status != KVOFWDL_STATUS_SUCCESS) {
    Log(LogType::Error, "DownloadProt3: ResetFilePtr failed with KVOFWDL_STATUS 0x%08X.\n", status);
    endAfterFailure();
    return status;
  }
  // No block is larger than the file, whatever the unit offers.
  const uint32_t bufferSize = std::max<uint32_t>(1, std::min(block, fileSize));
  std::vector<uint8_t> buffer;
  try {
    buffer.resize(bufferSize);
  } catch (const std::bad_alloc&) {
    Log(LogType::Error, "DownloadProt3: no memory for a block buffer of %u bytes.\n", bufferSize);
    endAfterFailure();
    return KVOFWDL_STATUS_FAILED;
  }

  uint32_t offset = 0;
  for (uint32_t sequence = 0; offset < fileSize; ++sequence) {
    const uint32_t count = std::min(fileSize - offset, bufferSize);
    uint32_t received = 0;
    if (const KVOFWDL_STATUS status = file_->Read(buffer.data(), count, received);
        status != KVOFWDL_STATUS_SUCCESS) {
      Log(LogType::Error,
          "DownloadProt3: Read block %u from file failed with KVOFWDL_STATUS 0x%08X.\n", sequence,
          status);
      endAfterFailure();
      return status;
    }
    if (received < count) {
      Log(LogType::Error,
          "DownloadProt3: Read block %u from file: expected bytes = %u, received = %u.\n", sequence,
          count, received);
      endAfterFailure();
      return KVOFWDL_STATUS_FAILED;
    }
    const KVOFWDL_STATUS status = device_->DownloadBlock(sequence, offset, buffer.data(), count);
    // The answer to the first block is not looked at: the boot loader may still be preparing.
    if (status != KVOFWDL_STATUS_SUCCESS && sequence != 0) {
      Log(LogType::Error, "download data block %u failed: status 0x%08X, offset 0x%X\n", sequence,
          status, offset);
      endAfterFailure();
      return status;
    }
    status_.AddDownloadedBytes(count);
    offset += count;
  }

  uint32_t crc = 0;  // the unit checks the file itself; its CRC is not compared here
  if (const KVOFWDL_STATUS status = device_->DownloadEnd(crc); status != KVOFWDL_STATUS_SUCCESS) {
    Log(LogType::Error, "finishing download failed: status 0x%08X\n", status);
    return status;
  }
  return KVOFWDL_STATUS_SUCCESS;
}

}  // namespace fwdl
