// The ten functions of the download library the updater calls. The program fills the table
// with the exports of libdun_fwdl.so (shared_firmware_library.cpp); tests fill it with another
// implementation of the same functions that runs on their bus and clock.
#pragma once

#include <cstdint>

#include "fwdl/include/dun_fwdl.h"

namespace updater {

struct FirmwareLibrary {
  KVOFWDL_STATUS (*EnableLogging)(const char* path);
  KVOFWDL_STATUS (*EnumerateDevices)(const char* InterfaceGuidStr, uint32_t* NumberOfDevices);
  KVOFWDL_STATUS (*GetDeviceInfo)(uint32_t index, KVOFWDL_DEVICE_INFO* DeviceInfo);
  KVOFWDL_STATUS (*OpenDevice)(uint32_t index);
  KVOFWDL_STATUS (*GetKwfFileInfo)(const char* KwfFileName, KVOFWDL_KWF_FILE_INFO* KwfInfo);
  KVOFWDL_STATUS (*SetTimeout)(uint32_t index, uint32_t milliseconds);
  KVOFWDL_STATUS (*StartDownload)(const char* KwfFileName, uint32_t flags);
  KVOFWDL_STATUS (*GetDownloadStatus)(uint32_t* BytesDownloaded, uint32_t* TotalBytes);
  KVOFWDL_STATUS (*CloseDevice)();
  KVOFWDL_STATUS (*Reboot)();
};

// libdun_fwdl.so, linked through the program's import table.
const FirmwareLibrary& sharedFirmwareLibrary();

}  // namespace updater
