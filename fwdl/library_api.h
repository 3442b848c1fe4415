// What each exported KVOFWDL_ function does, callable inside the library and by tests that
// link the library's internals: every function but GetVersion takes the API lock, logs its
// entry, checks its pointers and logs every failure before it returns it; none throws.
#pragma once

#include <cstdint>

#include "fwdl/include/dun_fwdl.h"

namespace fwdl::api {

uint32_t GetVersion() noexcept;
KVOFWDL_STATUS EnableLogging(const char* path) noexcept;
KVOFWDL_STATUS GetKwfFileInfo(const char* KwfFileName, KVOFWDL_KWF_FILE_INFO* KwfInfo) noexcept;
KVOFWDL_STATUS EnumerateDevices(const char* InterfaceGuidStr, uint32_t* NumberOfDevices) noexcept;
KVOFWDL_STATUS GetDeviceInfo(uint32_t index, KVOFWDL_DEVICE_INFO* DeviceInfo) noexcept;
KVOFWDL_STATUS OpenDevice(uint32_t index) noexcept;
KVOFWDL_STATUS CheckDownload(const char* KwfFileName, uint32_t* Conditions) noexcept;
KVOFWDL_STATUS StartDownload(const char* KwfFileName, uint32_t flags) noexcept;
KVOFWDL_STATUS SetTimeout(uint32_t index, uint32_t milliseconds) noexcept;
KVOFWDL_STATUS GetDownloadStatus(uint32_t* BytesDownloaded, uint32_t* TotalBytes) noexcept;
KVOFWDL_STATUS CloseDevice() noexcept;
KVOFWDL_STATUS Reboot() noexcept;
KVOFWDL_STATUS IsUserAdmin(uint32_t* IsAdmin) noexcept;

// At unload: waits for a running download, closes the open unit, drops the enumeration.
void TearDown() noexcept;

}  // namespace fwdl::api
