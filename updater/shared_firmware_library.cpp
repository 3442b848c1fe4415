#include "updater/firmware_library.h"

namespace updater {

const FirmwareLibrary& sharedFirmwareLibrary() {
  static constexpr FirmwareLibrary kExports{
      KVOFWDL_EnableLogging, KVOFWDL_EnumerateDevices,  KVOFWDL_GetDeviceInfo,
      KVOFWDL_OpenDevice,    KVOFWDL_GetKwfFileInfo,    KVOFWDL_SetTimeout,
      KVOFWDL_StartDownload, KVOFWDL_GetDownloadStatus, KVOFWDL_CloseDevice,
      KVOFWDL_Reboot,
  };
  return kExports;
}

}  // namespace updater
