// What each exported KVOFWDL_ function does, callable inside the library and by tests that
// link the library's internals: every function but GetVersion takes the API lock, logs its
// entry, checks its pointers and logs every failure before it returns it; none throws.
#pragma once

#include <cstdint>

#include "fwdl/include/dun_fwdl.h"

namespace fwdl::api {

uint32_t GetVersion() noexcept;
[[nodiscard]] KVOFWDL_STATUS EnableLogging(const char* path) noexcept;
[[nodiscard]] KVOFWDL_STATUS GetKwfFileInfo(const char* KwfFileName, KVOFWDL_KWF_FILE_INFO* KwfInfo) noexcept;
[[nodiscard]] KVOFWDL_STATUS EnumerateDevices(const char* InterfaceGuidStr, uint32_t* NumberOfDevices) noexcept;
[[nodiscard]] KVOFWDL_STATUS GetDeviceInfo(uint32_t index, KVOFWDL_DEVICE_INFO* DeviceInfo) noexcept;
[[nodiscard]] KVOFWDL_STATUS OpenDevice(uint32_t index) noexcept;
[[nodiscard]] KVOFWDL_STATUS CheckDownload(const char* KwfFileName, uint32_t* Conditions) noexcept;
[[nodiscard]] KVOFWDL_STATUS StartDownload(const char* KwfFileName, uint32_t flags) noexcept;
[[nodiscard]] KVOFWDL_STATUS SetTimeout(uint32_t index, uint32_t milliseconds) noexcept;
[[nodiscard]] KVOFWDL_STATUS GetDownloadStatus(uint32_t* BytesDownloaded, uint32_t* TotalBytes) noexcept;
[[nodiscard]] KVOFWDL_STATUS CloseDevice() noexcept;
[[nodiscard]] KVOFWDL_STATUS Reboot() noexcept;
[[nodiscard]] KVOFWDL_STATUS IsUserAdmin(uint32_t* IsAdmin) noexcept;

// At unload: waits for a running download, closes the open unit, drops the enumeration.
void TearDown() noexcept;

}  // namespace fwdl::api
