// The thirteen exported functions. Each but KVOFWDL_GetVersion runs under the API lock, logs
// its entry with its arguments, checks its pointers and logs every failure before returning it.
// The name for the messages is taken outside the lambda, where __func__ names the export.
#include "fwdl/export_call.h"
#include "fwdl/include/dun_fwdl.h"
#include "fwdl/kwf_file.h"
#include "fwdl/library_log.h"

using fwdl::IsNullParameter;
using fwdl::Log;
using fwdl::LogType;
using fwdl::PointerBits;
using fwdl::Printable;
using fwdl::RunExport;

namespace {

// Unit access and downloads come with the unit support; until then those exports end here.
KVOFWDL_STATUS NotImplemented(const char* function) {
  Log(LogType::Error, "%s: not implemented in this build\n", function);
  return KVOFWDL_STATUS_UNEXPECTED;
}

}  // namespace

extern "C" {

KVOFWDL_API uint32_t KVOFWDL_GetVersion(void) {
  return KVOFWDL_INTERFACE_VERSION;
}

KVOFWDL_API KVOFWDL_STATUS KVOFWDL_EnableLogging(const char* path) {
  const char* const function = __func__;
  return RunExport(function, [&]() -> KVOFWDL_STATUS {
    Log(LogType::Info, "enter KVOFWDL_EnableLogging('%s')\n", Printable(path));
    if (path == nullptr) {
      if (!fwdl::DisableLogFile()) {
        Log(LogType::Error, "Failed to disable the current log file.\n");
        return KVOFWDL_STATUS_LOGGING_FAILED;
      }
      return KVOFWDL_STATUS_SUCCESS;
    }
    if (!fwdl::EnableLogFile(path)) {
      Log(LogType::Error, "Failed to enable log file '%s'.\n", path);
      return KVOFWDL_STATUS_LOGGING_FAILED;
    }
    return KVOFWDL_STATUS_SUCCESS;
  });
}

KVOFWDL_API KVOFWDL_STATUS KVOFWDL_GetKwfFileInfo(const char* KwfFileName,
                                                  KVOFWDL_KWF_FILE_INFO* KwfInfo) {
  const char* const function = __func__;
  return RunExport(function, [&]() -> KVOFWDL_STATUS {
    Log(LogType::Info, "enter KVOFWDL_GetKwfFileInfo('%s',0x%08X)\n", Printable(KwfFileName),
        PointerBits(KwfInfo));
    if (IsNullParameter(KwfFileName, function, "KwfFileName") ||
        IsNullParameter(KwfInfo, function, "KwfInfo")) {
      return KVOFWDL_STATUS_INVALID_PARAMETER;
    }
    fwdl::KwfFile file;
    if (const KVOFWDL_STATUS status = file.Open(KwfFileName); status != KVOFWDL_STATUS_SUCCESS) {
      Log(LogType::Error, "KVOFWDL_GetKwfFileInfo: open file '%s' failed\n", KwfFileName);
      return status;
    }
    if (file.GetFileInfo(*KwfInfo) != KVOFWDL_STATUS_SUCCESS) {
      Log(LogType::Error, "KVOFWDL_GetKwfFileInfo: getting informations of file '%s' failed\n",
          KwfFileName);
      return KVOFWDL_STATUS_FAILED;
    }
    file.Close();
    return KVOFWDL_STATUS_SUCCESS;
  });
}

KVOFWDL_API KVOFWDL_STATUS KVOFWDL_EnumerateDevices(const char* InterfaceGuidStr,
                                                    uint32_t* NumberOfDevices) {
  const char* const function = __func__;
  return RunExport(function, [&]() -> KVOFWDL_STATUS {
    Log(LogType::Info, "enter KVOFWDL_EnumerateDevices('%s',0x%08X)\n", Printable(InterfaceGuidStr),
        PointerBits(NumberOfDevices));
    if (IsNullParameter(InterfaceGuidStr, function, "InterfaceGuidStr") ||
        IsNullParameter(NumberOfDevices, function, "NumberOfDevices")) {
      return KVOFWDL_STATUS_INVALID_PARAMETER;
    }
    *NumberOfDevices = 0;
    return NotImplemented(function);
  });
}

KVOFWDL_API KVOFWDL_STATUS KVOFWDL_GetDeviceInfo(uint32_t index, KVOFWDL_DEVICE_INFO* DeviceInfo) {
  const char* const function = __func__;
  return RunExport(function, [&]() -> KVOFWDL_STATUS {
    Log(LogType::Info, "enter KVOFWDL_GetDeviceInfo(%u,0x%08X)\n", index, PointerBits(DeviceInfo));
    if (IsNullParameter(DeviceInfo, function, "DeviceInfo")) {
      return KVOFWDL_STATUS_INVALID_PARAMETER;
    }
    return NotImplemented(function);
  });
}

KVOFWDL_API KVOFWDL_STATUS KVOFWDL_OpenDevice(uint32_t index) {
  const char* const function = __func__;
  return RunExport(function, [&]() -> KVOFWDL_STATUS {
    Log(LogType::Info, "enter KVOFWDL_OpenDevice( %u )\n", index);
    return NotImplemented(function);
  });
}

KVOFWDL_API KVOFWDL_STATUS KVOFWDL_CheckDownload(const char* KwfFileName, uint32_t* Conditions) {
  const char* const function = __func__;
  return RunExport(function, [&]() -> KVOFWDL_STATUS {
    Log(LogType::Info, "enter KVOFWDL_CheckDownload( '%s',0x%08X )\n", Printable(KwfFileName),
        PointerBits(Conditions));
    if (IsNullParameter(KwfFileName, function, "KwfFileName") ||
        IsNullParameter(Conditions, function, "Conditions")) {
      return KVOFWDL_STATUS_INVALID_PARAMETER;
    }
    *Conditions = 0xFFFFFFFFu;
    return NotImplemented(function);
  });
}

KVOFWDL_API KVOFWDL_STATUS KVOFWDL_StartDownload(const char* KwfFileName, uint32_t flags) {
  const char* const function = __func__;
  return RunExport(function, [&]() -> KVOFWDL_STATUS {
    Log(LogType::Info, "enter KVOFWDL_StartDownload( '%s',0x%08X )\n", Printable(KwfFileName),
        flags);
    if (IsNullParameter(KwfFileName, function, "KwfFileName")) {
      return KVOFWDL_STATUS_INVALID_PARAMETER;
    }
    return NotImplemented(function);
  });
}

KVOFWDL_API KVOFWDL_STATUS KVOFWDL_SetTimeout(uint32_t index, uint32_t milliseconds) {
  const char* const function = __func__;
  return RunExport(function, [&]() -> KVOFWDL_STATUS {
    Log(LogType::Info, "enter KVOFWDL_SetTimeout( %d, %u )\n", static_cast<int>(index),
        milliseconds);
    return NotImplemented(function);
  });
}

KVOFWDL_API KVOFWDL_STATUS KVOFWDL_GetDownloadStatus(uint32_t* BytesDownloaded,
                                                     uint32_t* TotalBytes) {
  // Polled many times a second: no "enter" entry.
  const char* const function = __func__;
  return RunExport(function, [&]() -> KVOFWDL_STATUS {
    if (IsNullParameter(BytesDownloaded, function, "BytesDownloaded") ||
        IsNullParameter(TotalBytes, function, "TotalBytes")) {
      return KVOFWDL_STATUS_INVALID_PARAMETER;
    }
    *BytesDownloaded = 0;
    *TotalBytes = 0;
    return NotImplemented(function);
  });
}

KVOFWDL_API KVOFWDL_STATUS KVOFWDL_CloseDevice(void) {
  const char* const function = __func__;
  return RunExport(function, [&]() -> KVOFWDL_STATUS {
    Log(LogType::Info, "enter KVOFWDL_CloseDevice()\n");
    return NotImplemented(function);
  });
}

KVOFWDL_API KVOFWDL_STATUS KVOFWDL_Reboot(void) {
  const char* const function = __func__;
  return RunExport(function, [&]() -> KVOFWDL_STATUS {
    Log(LogType::Info, "enter KVOFWDL_Reboot()\n");
    return NotImplemented(function);
  });
}

KVOFWDL_API KVOFWDL_STATUS KVOFWDL_IsUserAdmin(uint32_t* IsAdmin) {
  const char* const function = __func__;
  return RunExport(function, [&]() -> KVOFWDL_STATUS {
    Log(LogType::Info, "enter KVOFWDL_IsUserAdmin()\n");
    if (IsNullParameter(IsAdmin, function, "IsAdmin")) return KVOFWDL_STATUS_INVALID_PARAMETER;
    *IsAdmin = 0;
    return NotImplemented(function);
  });
}

}  // extern "C"
