// The download primitives of the boot-loader protocol: start, block, end, a whole version-0
// object, and the two requests nothing in the library sends.
#include <algorithm>
#include <cstring>
#include <span>

#include "fwdl/download_status.h"
#include "fwdl/kvo_device.h"
#include "fwdl/kwf_file.h"
#include "fwdl/logging/library_log.h"

namespace fwdl {

namespace {

constexpr size_t kPayload = 8;

// Download-start payload (byte offsets).
constexpr size_t kStartType = 8;
constexpr size_t kStartStamp = 12;  // BuildDate and BuildTime, 16 characters
constexpr size_t kStartSoftwareId = 28;
constexpr size_t kStartFirmware = 32;
constexpr size_t kStartAddress = 36;
constexpr size_t kStartLength = 40;
constexpr size_t kStartCrc = 44;

void PutWord(BootloaderRecord& record, size_t offset, uint32_t value) {
  StoreLe32(record.data() + offset, value);
}

int32_t SignedWord(const BootloaderRecord& record, size_t offset) {
  return static_cast<int32_t>(LoadLe32(record.data() + offset));
}

bool IsKnownUnimplemented(uint32_t objectType) {
  return objectType == 2 || objectType == 4 || objectType == 5;
}

}  // namespace

KVOFWDL_STATUS KvoDevice::RequestDownloadStart(uint32_t objectType, const KwfFile& file) {
  Log(LogType::Info, "KvoDevice::RequestDownloadStart(object type = %d) ...\n",
      static_cast<int>(objectType));
  BootloaderRequest request{};
  PutWord(request, kStartType, objectType);
  std::memcpy(request.data() + kStartStamp, file.BuildDate().data(), file.BuildDate().size());
  std::memcpy(request.data() + kStartStamp + 8, file.BuildTime().data(), file.BuildTime().size());
  PutWord(request, kStartSoftwareId, file.SoftwareId());
  PutWord(request, kStartFirmware, file.FirmwareVersion());
  uint32_t length = 0;
  switch (objectType) {
    case OBJ_PROGRAM:
    case OBJ_BOOTLOADER:
    case OBJ_CNE: {
      if (file.FileVersion() > 1) {
        Log(LogType::Error, "RequestDownloadStart: unexpected file version %u.\n",
            file.FileVersion());
        return KVOFWDL_STATUS_FAILED;
      }
      const bool cnE = objectType == OBJ_CNE;
      length = cnE ? file.CnELength() : file.Image1Length();
      PutWord(request, kStartAddress, cnE ? 0 : file.Image1Address());
      PutWord(request, kStartLength, length);
      PutWord(request, kStartCrc, cnE ? file.CnECrc() : file.Image1Crc());
      break;
    }
    default:
      if (IsKnownUnimplemented(objectType)) {
        Log(LogType::Error, "RequestDownloadStart: download of object type %u is not implemented\n",
            objectType);
      } else {
        Log(LogType::Error, "RequestDownloadStart: unexpected object type %u to download\n",
            objectType);
      }
      return KVOFWDL_STATUS_UNEXPECTED;
  }
  Log(LogType::Info, "RequestDownloadStart: starting request with object length = %u ...\n",
      length);
  return WriteRequest(REQ_DOWNLOAD_START, request);
}

KVOFWDL_STATUS KvoDevice::DownloadStart(uint32_t objectType, const KwfFile& file,
                                        uint32_t& maxBlock) {
  Log(LogType::Info, "executing download start...\n");
  if (const KVOFWDL_STATUS status = RequestDownloadStart(objectType, file);
      status != KVOFWDL_STATUS_SUCCESS) {
    Log(LogType::Error, "DownloadStart: Request failed\n");
    return status;
  }
  BootloaderResponse response;
  if (const KVOFWDL_STATUS status = ReadResponse(response, Timeout(TIMEOUT_DOWNLOAD_START));
      status != KVOFWDL_STATUS_SUCCESS) {
    Log(LogType::Error, "DownloadStart: Response failed\n");
    return status;
  }
  const int32_t answer = SignedWord(response, kPayload);
  if (answer < 0) {
    Log(LogType::Error, "DownloadStart: device responds with error code %d\n", answer);
    return KVOFWDL_STATUS_DEVICE_ERROR;
  }
  // Blocks of no bytes would never finish a download.
  if (answer == 0) {
    Log(LogType::Error, "DownloadStart: device accepts blocks of 0 bytes\n");
    return KVOFWDL_STATUS_DEVICE_ERROR;
  }
  maxBlock = static_cast<uint32_t>(answer);
  return KVOFWDL_STATUS_SUCCESS;
}

KVOFWDL_STATUS KvoDevice::DownloadBlock(uint32_t sequenceNumber, uint32_t address,
                                        const uint8_t* data, uint32_t size) {
  Log(LogType::Info,
      "executing download block: sequence number = %u, block size = %u, block address = 0x%08X "
      "...\n",
      sequenceNumber, size, address);
  if (const KVOFWDL_STATUS status = WriteRequestData(data, size);
      status != KVOFWDL_STATUS_SUCCESS) {
    Log(LogType::Error, "DownloadBlock: Write request payload failed\n");
    return status;
  }
  if (const KVOFWDL_STATUS status = RequestDownloadBlock(sequenceNumber, address, size);
      status != KVOFWDL_STATUS_SUCCESS) {
    Log(LogType::Error, "DownloadBlock: Request failed\n");
    return status;
  }
  BootloaderResponse response;
  if (const KVOFWDL_STATUS status = ReadResponse(response, Timeout(TIMEOUT_DOWNLOAD_BLOCK));
      status != KVOFWDL_STATUS_SUCCESS) {
    Log(LogType::Error, "DownloadBlock: Response failed\n");
    return status;
  }
  const uint32_t echoed = LoadLe32(response.data() + kPayload);
  if (echoed != sequenceNumber) {
    Log(LogType::Error,
        "DownloadBlock: request sequence number %u differs from response sequence number %u\n",
        sequenceNumber, echoed);
    return KVOFWDL_STATUS_UNEXPECTED;
  }
  const int32_t status = SignedWord(response, kPayload + 4);
  if (status < 0) {
    Log(LogType::Error, "DownloadBlock: device responds with error code %d\n", status);
    return KVOFWDL_STATUS_DEVICE_ERROR;
  }
  return KVOFWDL_STATUS_SUCCESS;
}

KVOFWDL_STATUS KvoDevice::DownloadEnd(uint32_t& crc) {
  Log(LogType::Info, "executing download end...\n");
  if (const KVOFWDL_STATUS status = RequestDownloadEnd(); status != KVOFWDL_STATUS_SUCCESS) {
    Log(LogType::Error, "DownloadEnd: Request failed\n");
    return status;
  }
  BootloaderResponse response;
  if (const KVOFWDL_STATUS status = ReadResponse(response, Timeout(TIMEOUT_DOWNLOAD_END));
      status != KVOFWDL_STATUS_SUCCESS) {
    Log(LogType::Error, "DownloadEnd: Response failed\n");
    return status;
  }
  crc = LoadLe32(response.data() + kPayload);
  const int32_t status = SignedWord(response, kPayload + 4);
  if (status < 0) {
    Log(LogType::Error, "DownloadEnd: device responds with error code %d\n", status);
    return KVOFWDL_STATUS_DEVICE_ERROR;
  }
  return KVOFWDL_STATUS_SUCCESS;
}

KVOFWDL_STATUS KvoDevice::DownloadObject(uint32_t objectType, KwfFile& file,
                                         DownloadStatus& progress) {
  Log(LogType::Info, "KvoDevice::DownloadObject ...\n");
  if (file.FileVersion() != 0) {
    Log(LogType::Error, "DownloadObject: file version 0 expected.\n");
    return KVOFWDL_STATUS_FAILED;
  }
  std::span<const uint8_t> object;
  uint32_t startAddress = 0;
  uint32_t expectedCrc = 0;
  if (objectType == OBJ_CNE) {
    Log(LogType::Info, "DownloadObject: download CnE data...\n");
    if (const KVOFWDL_STATUS status = file.GetCnE(object); status != KVOFWDL_STATUS_SUCCESS) {
      Log(LogType::Error, "DownloadObject: GetCnE failed with KVOFWDL_STATUS 0x%08X.\n", status);
      return status;
    }
    if (file.CnEOffset() == 0) {
      Log(LogType::Error, "DownloadObject: KWF file dosn't contain CnE data.\n");
      return KVOFWDL_STATUS_NO_CNE_DATA;
    }
    if (object.empty()) {
      Log(LogType::Error, "DownloadObject: KWF file contains CnE length 0.\n");
      return KVOFWDL_STATUS_NO_CNE_DATA;
    }
    expectedCrc = file.CnECrc();
  } else if (objectType == OBJ_PROGRAM || objectType == OBJ_BOOTLOADER) {
    Log(LogType::Info, "DownloadObject: download %s...\n",
        objectType == OBJ_PROGRAM ? "program" : "bootloader");
    if (file.Image1Length() > info_.MaxImageLength()) {
      Log(LogType::Error,
          "DownloadObject: KWF file image is too large ->lenght = %u, max length accepted by the "
          "device = %u.\n",
          file.Image1Length(), info_.MaxImageLength());
      return KVOFWDL_STATUS_IMAGE_TOO_LARGE;
    }
    if (const KVOFWDL_STATUS status = file.GetImage1(object); status != KVOFWDL_STATUS_SUCCESS) {
      Log(LogType::Error, "DownloadObject: GetImage1 failed with KVOFWDL_STATUS 0x%08X.\n", status);
      return status;
    }
    if (file.Image1Offset() == 0) {
      Log(LogType::Error, "DownloadObject: KWF file doesn't contain image.\n");
      return KVOFWDL_STATUS_NO_IMAGE_DATA;
    }
    if (object.empty()) {
      Log(LogType::Error, "DownloadObject: KWF file contains program length 0.\n");
      return KVOFWDL_STATUS_NO_IMAGE_DATA;
    }
    startAddress = file.Image1Address();
    expectedCrc = file.Image1Crc();
  } else {
    if (IsKnownUnimplemented(objectType)) {
      Log(LogType::Error, "DownloadObject: download of object type %u is not implemented\n",
          objectType);
    } else {
      Log(LogType::Error, "DownloadObject: unexpected object type %u to download\n", objectType);
    }
    return KVOFWDL_STATUS_UNEXPECTED;
  }

  uint32_t maxBlock = 0;
  if (const KVOFWDL_STATUS status = DownloadStart(objectType, file, maxBlock);
      status != KVOFWDL_STATUS_SUCCESS) {
    Log(LogType::Error, "DownloadObject: DownloadStart failed with KVOFWDL_STATUS 0x%08X.\n",
        status);
    return status;
  }
  const auto length = static_cast<uint32_t>(object.size());
  Log(LogType::Info, "DownloadObject: Downloading object %u with %u bytes\n", objectType, length);

  uint32_t remaining = length;
  uint32_t address = startAddress;
  for (uint32_t sequence = 0; remaining > 0; ++sequence) {
    const uint32_t size = std::min(remaining, maxBlock);
    const KVOFWDL_STATUS status =
        DownloadBlock(sequence, address, object.data() + (length - remaining), size);
    if (status != KVOFWDL_STATUS_SUCCESS) {
      Log(LogType::Error, "DownloadObject: DownloadBlock %d failed with KVOFWDL_STATUS 0x%08X.\n",
          static_cast<int>(sequence), status);
      Log(LogType::Info,
          "DownloadObject: download will be aborted by sending 'download end' request...\n");
      uint32_t ignoredCrc = 0;
      if (const KVOFWDL_STATUS endStatus = DownloadEnd(ignoredCrc);
          endStatus != KVOFWDL_STATUS_SUCCESS) {
        Log(LogType::Error, "DownloadObject: DownloadEnd failed with KVOFWDL_STATUS = 0x%08X\n",
            endStatus);
      }
      return status;
    }
    progress.AddDownloadedBytes(size);
    address += size;
    remaining -= size;
  }

  Log(LogType::Info, "DownloadObject: Download of object %u finished\n", objectType);
  uint32_t crc = 0;
  if (const KVOFWDL_STATUS status = DownloadEnd(crc); status != KVOFWDL_STATUS_SUCCESS) {
    Log(LogType::Error, "DownloadObject:DownloadEnd failed with KVOFWDL_STATUS = 0x%08X\n", status);
    return status;
  }
  if (crc != expectedCrc) {
    Log(LogType::Error,
        "DownloadObject: crc value returned by the device after download differs from original "
        "crc value\n");
    return KVOFWDL_STATUS_DEVICE_CRC_MISMATCH;
  }
  return KVOFWDL_STATUS_SUCCESS;
}

KVOFWDL_STATUS KvoDevice::ProgramGuid(uint32_t first, uint32_t second) {
  Log(LogType::Info, "KvoDevice::ProgramGuid ...\n");
  if (!open_) {
    Log(LogType::Error, "ProgramGuid: device is not open.\n");
    return KVOFWDL_STATUS_DEVICE_NOT_OPEN;
  }
  BootloaderRequest request{};
  PutWord(request, kPayload, first);
  PutWord(request, kPayload + 4, second);
  if (const KVOFWDL_STATUS status = WriteRequest(REQ_PROGRAM_GUID, request);
      status != KVOFWDL_STATUS_SUCCESS) {
    Log(LogType::Error, "ProgramGuid: RequestProgramGuid failed with KVOFWDL_STATUS 0x%08X.\n",
        status);
    return status;
  }
  BootloaderResponse response;
  if (const KVOFWDL_STATUS status = ReadResponse(response, Timeout(TIMEOUT_PROGRAM_GUID));
      status != KVOFWDL_STATUS_SUCCESS) {
    Log(LogType::Error, "ProgramGuid: ReadResponse failed with KVOFWDL_STATUS 0x%08X.\n", status);
    return status;
  }
  return KVOFWDL_STATUS_SUCCESS;
}

KVOFWDL_STATUS KvoDevice::InitPersParams() {
  Log(LogType::Info, "KvoDevice::InitPersParams ...\n");
  if (!open_) {
    Log(LogType::Error, "InitPersParams: device is not open.\n");
    return KVOFWDL_STATUS_DEVICE_NOT_OPEN;
  }
  BootloaderRequest request{};
  if (const KVOFWDL_STATUS status = WriteRequest(REQ_INIT_PERS_PARAMS, request);
      status != KVOFWDL_STATUS_SUCCESS) {
    Log(LogType::Error,
        "InitPersParams: RequestInitPersParams failed with KVOFWDL_STATUS 0x%08X.\n", status);
    return status;
  }
  BootloaderResponse response;
  if (const KVOFWDL_STATUS status = ReadResponse(response, Timeout(TIMEOUT_INIT_PERS_PARAMS));
      status != KVOFWDL_STATUS_SUCCESS) {
    Log(LogType::Error, "InitPersParams: ReadResponse failed with KVOFWDL_STATUS 0x%08X.\n",
        status);
    return status;
  }
  return KVOFWDL_STATUS_SUCCESS;
}

}  // namespace fwdl
