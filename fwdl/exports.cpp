// The thirteen exported functions; what each does is in library_api.cpp.
#include "fwdl/include/dun_fwdl.h"
#include "fwdl/library_api.h"

extern "C" {

KVOFWDL_API uint32_t KVOFWDL_GetVersion(void) {
  return fwdl::api::GetVersion();
}

KVOFWDL_API KVOFWDL_STATUS KVOFWDL_EnableLogging(const char* path) {
  return fwdl::api::EnableLogging(path);
}

KVOFWDL_API KVOFWDL_STATUS KVOFWDL_GetKwfFileInfo(const char* KwfFileName,
                                                  KVOFWDL_KWF_FILE_INFO* KwfInfo) {
  return fwdl::api::GetKwfFileInfo(KwfFileName, KwfInfo);
}

KVOFWDL_API KVOFWDL_STATUS KVOFWDL_EnumerateDevices(const char* InterfaceGuidStr,
                                                    uint32_t* NumberOfDevices) {
  return fwdl::api::EnumerateDevices(InterfaceGuidStr, NumberOfDevices);
}

KVOFWDL_API KVOFWDL_STATUS KVOFWDL_GetDeviceInfo(uint32_t index, KVOFWDL_DEVICE_INFO* DeviceInfo) {
  return fwdl::api::GetDeviceInfo(index, DeviceInfo);
}

KVOFWDL_API KVOFWDL_STATUS KVOFWDL_OpenDevice(uint32_t index) {
  return fwdl::api::OpenDevice(index);
}

KVOFWDL_API KVOFWDL_STATUS KVOFWDL_CheckDownload(const char* KwfFileName, uint32_t* Conditions) {
  return fwdl::api::CheckDownload(KwfFileName, Conditions);
}

KVOFWDL_API KVOFWDL_STATUS KVOFWDL_StartDownload(const char* KwfFileName, uint32_t flags) {
  return fwdl::api::StartDownload(KwfFileName, flags);
}

KVOFWDL_API KVOFWDL_STATUS KVOFWDL_SetTimeout(uint32_t index, uint32_t milliseconds) {
  return fwdl::api::SetTimeout(index, milliseconds);
}

KVOFWDL_API KVOFWDL_STATUS KVOFWDL_GetDownloadStatus(uint32_t* BytesDownloaded,
                                                     uint32_t* TotalBytes) {
  return fwdl::api::GetDownloadStatus(BytesDownloaded, TotalBytes);
}

KVOFWDL_API KVOFWDL_STATUS KVOFWDL_CloseDevice(void) {
  return fwdl::api::CloseDevice();
}

KVOFWDL_API KVOFWDL_STATUS KVOFWDL_Reboot(void) {
  return fwdl::api::Reboot();
}

KVOFWDL_API KVOFWDL_STATUS KVOFWDL_IsUserAdmin(uint32_t* IsAdmin) {
  return fwdl::api::IsUserAdmin(IsAdmin);
}

}  // extern "C"
