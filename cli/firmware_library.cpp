#include "cli/firmware_library.h"

namespace velmoractl {

namespace {

constexpr FirmwareLibrary kSharedLibrary{
    KVOFWDL_EnableLogging, KVOFWDL_GetKwfFileInfo,    KVOFWDL_EnumerateDevices,
    KVOFWDL_GetDeviceInfo, KVOFWDL_OpenDevice,        KVOFWDL_CheckDownload,
    KVOFWDL_StartDownload, KVOFWDL_GetDownloadStatus, KVOFWDL_CloseDevice,
};

const FirmwareLibrary* current = &kSharedLibrary;

}  // namespace

const FirmwareLibrary& firmwareLibrary() {
  return *current;
}

ScopedFirmwareLibrary::ScopedFirmwareLibrary(const FirmwareLibrary& replacement)
    : previous_(current) {
  current = &replacement;
}

ScopedFirmwareLibrary::~ScopedFirmwareLibrary() {
  current = previous_;
}

}  // namespace velmoractl
