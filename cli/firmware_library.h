// The download library as the firmware verbs call it: the exports of libdun_fwdl.so, or in
// tests another implementation of the same thirteen functions (the library's internals linked
// into the test, sharing its clock and bus).
#pragma once

#include <cstdint>

#include "fwdl/include/dun_fwdl.h"

namespace velmoractl {

struct FirmwareLibrary {
  KVOFWDL_STATUS (*EnableLogging)(const char* path);
  KVOFWDL_STATUS (*GetKwfFileInfo)(const char* KwfFileName, KVOFWDL_KWF_FILE_INFO* KwfInfo);
  KVOFWDL_STATUS (*EnumerateDevices)(const char* InterfaceGuidStr, uint32_t* NumberOfDevices);
  KVOFWDL_STATUS (*GetDeviceInfo)(uint32_t index, KVOFWDL_DEVICE_INFO* DeviceInfo);
  KVOFWDL_STATUS (*OpenDevice)(uint32_t index);
  KVOFWDL_STATUS (*CheckDownload)(const char* KwfFileName, uint32_t* Conditions);
  KVOFWDL_STATUS (*StartDownload)(const char* KwfFileName, uint32_t flags);
  KVOFWDL_STATUS (*GetDownloadStatus)(uint32_t* BytesDownloaded, uint32_t* TotalBytes);
  KVOFWDL_STATUS (*CloseDevice)();
};

// The library the verbs use: libdun_fwdl.so unless a test installed another.
const FirmwareLibrary& firmwareLibrary();

// Installs `replacement` while this object lives.
class ScopedFirmwareLibrary {
 public:
  explicit ScopedFirmwareLibrary(const FirmwareLibrary& replacement);
  ~ScopedFirmwareLibrary();
  ScopedFirmwareLibrary(const ScopedFirmwareLibrary&) = delete;
  ScopedFirmwareLibrary& operator=(const ScopedFirmwareLibrary&) = delete;

 private:
  const FirmwareLibrary* previous_;
};

}  // namespace velmoractl
