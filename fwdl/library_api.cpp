#include "fwdl/library_api.h"

#include "fwdl/export_call.h"
#include "fwdl/kwf_file.h"
#include "fwdl/logging/library_log.h"
#include "fwdl/library_state.h"
#include "platform/user_rights.h"
#include "platform/vhpd_client.h"
#include "platform/win_error.h"

namespace fwdl::api {

namespace {

// True (after its ERROR entry) when a download runs, so `function` must change nothing.
bool RefusedDuringDownload(const char* function) {
  if (!Library().downloader.IsDownloadRunning()) return false;
  Log(LogType::Error, "%s failed, because download is in progress\n", function);
  return true;
}

}  // namespace

uint32_t GetVersion() noexcept {
  return KVOFWDL_INTERFACE_VERSION;
}

KVOFWDL_STATUS EnableLogging(const char* path) noexcept {
  const char* const function = "KVOFWDL_EnableLogging";
  return RunExport(function, [&]() -> KVOFWDL_STATUS {
    Log(LogType::Info, "enter KVOFWDL_EnableLogging('%s')\n", Printable(path));
    if (RefusedDuringDownload(function)) return KVOFWDL_STATUS_DOWNLOAD_IN_PROGRESS;
    if (path == nullptr) {
      if (!DisableLogFile()) {
        Log(LogType::Error, "Failed to disable the current log file.\n");
        return KVOFWDL_STATUS_LOGGING_FAILED;
      }
      return KVOFWDL_STATUS_SUCCESS;
    }
    if (!EnableLogFile(path)) {
      Log(LogType::Error, "Failed to enable log file '%s'.\n", path);
      return KVOFWDL_STATUS_LOGGING_FAILED;
    }
    return KVOFWDL_STATUS_SUCCESS;
  });
}

KVOFWDL_STATUS GetKwfFileInfo(const char* KwfFileName, KVOFWDL_KWF_FILE_INFO* KwfInfo) noexcept {
  const char* const function = "KVOFWDL_GetKwfFileInfo";
  return RunExport(function, [&]() -> KVOFWDL_STATUS {
    Log(LogType::Info, "enter KVOFWDL_GetKwfFileInfo('%s',0x%08X)\n", Printable(KwfFileName),
        PointerBits(KwfInfo));
    if (IsNullParameter(KwfFileName, function, "KwfFileName") ||
        IsNullParameter(KwfInfo, function, "KwfInfo")) {
      return KVOFWDL_STATUS_INVALID_PARAMETER;
    }
    KwfFile file;
    if (const KVOFWDL_STATUS status = file.OpenVerified(KwfFileName);
        status != KVOFWDL_STATUS_SUCCESS) {
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

KVOFWDL_STATUS EnumerateDevices(const char* InterfaceGuidStr, uint32_t* NumberOfDevices) noexcept {
  const char* const function = "KVOFWDL_EnumerateDevices";
  return RunExport(function, [&]() -> KVOFWDL_STATUS {
    Log(LogType::Info, "enter KVOFWDL_EnumerateDevices('%s',0x%08X)\n", Printable(InterfaceGuidStr),
        PointerBits(NumberOfDevices));
    if (IsNullParameter(InterfaceGuidStr, function, "InterfaceGuidStr") ||
        IsNullParameter(NumberOfDevices, function, "NumberOfDevices")) {
      return KVOFWDL_STATUS_INVALID_PARAMETER;
    }
    *NumberOfDevices = 0;
    DeviceEnumeration& enumeration = Library().enumeration;
    if (const KVOFWDL_STATUS status = enumeration.Enumerate(InterfaceGuidStr);
        status != KVOFWDL_STATUS_SUCCESS) {
      Log(LogType::Error, "KVOFWDL_EnumerateDevices: enumeration failed\n");
      return status;
    }
    if (const KVOFWDL_STATUS status = enumeration.CountDevices(*NumberOfDevices);
        status != KVOFWDL_STATUS_SUCCESS) {
      Log(LogType::Error, "KVOFWDL_EnumerateDevices: device counting failed\n");
      return status;
    }
    return KVOFWDL_STATUS_SUCCESS;
  });
}

KVOFWDL_STATUS GetDeviceInfo(uint32_t index, KVOFWDL_DEVICE_INFO* DeviceInfo) noexcept {
  const char* const function = "KVOFWDL_GetDeviceInfo";
  return RunExport(function, [&]() -> KVOFWDL_STATUS {
    Log(LogType::Info, "enter KVOFWDL_GetDeviceInfo(%u,0x%08X)\n", index, PointerBits(DeviceInfo));
    if (IsNullParameter(DeviceInfo, function, "DeviceInfo")) {
      return KVOFWDL_STATUS_INVALID_PARAMETER;
    }
    const DeviceEnumeration& enumeration = Library().enumeration;
    KvoFwdlDevice unit;  // a second handle when the unit is open already
    if (const KVOFWDL_STATUS status =
            unit.Open(index, enumeration.InfoSet(), &enumeration.InterfaceGuid());
        status != KVOFWDL_STATUS_SUCCESS) {
      Log(LogType::Error, "KVOFWDL_GetDeviceInfo: open device %u failed\n", index);
      return status;
    }
    if (const KVOFWDL_STATUS status = unit.GetDeviceInfo(DeviceInfo, false);
        status != KVOFWDL_STATUS_SUCCESS) {
      Log(LogType::Error, "KVOFWDL_GetDeviceInfo: read device info failed\n");
      return status;
    }
    return KVOFWDL_STATUS_SUCCESS;
  });
}

KVOFWDL_STATUS OpenDevice(uint32_t index) noexcept {
  const char* const function = "KVOFWDL_OpenDevice";
  return RunExport(function, [&]() -> KVOFWDL_STATUS {
    Log(LogType::Info, "enter KVOFWDL_OpenDevice( %u )\n", index);
    return Library().enumeration.OpenDevice(index);
  });
}

KVOFWDL_STATUS CheckDownload(const char* KwfFileName, uint32_t* Conditions) noexcept {
  const char* const function = "KVOFWDL_CheckDownload";
  return RunExport(function, [&]() -> KVOFWDL_STATUS {
    Log(LogType::Info, "enter KVOFWDL_CheckDownload( '%s',0x%08X )\n", Printable(KwfFileName),
        PointerBits(Conditions));
    if (IsNullParameter(KwfFileName, function, "KwfFileName") ||
        IsNullParameter(Conditions, function, "Conditions")) {
      return KVOFWDL_STATUS_INVALID_PARAMETER;
    }
    *Conditions = 0xFFFFFFFFu;
    if (RefusedDuringDownload(function)) return KVOFWDL_STATUS_DOWNLOAD_IN_PROGRESS;
    KwfFile file;
    if (const KVOFWDL_STATUS status = file.OpenVerified(KwfFileName);
        status != KVOFWDL_STATUS_SUCCESS) {
      Log(LogType::Error, "KVOFWDL_CheckDownload: open file failed.\n");
      return status;
    }
    LibraryState& library = Library();
    if (const KVOFWDL_STATUS status =
            library.downloader.CheckDownload(&file, library.enumeration.OpenUnit(), *Conditions);
        status != KVOFWDL_STATUS_SUCCESS) {
      Log(LogType::Error, "KVOFWDL_CheckDownload: check of download conditions failed\n");
      return status;
    }
    file.Close();
    return KVOFWDL_STATUS_SUCCESS;
  });
}

KVOFWDL_STATUS StartDownload(const char* KwfFileName, uint32_t flags) noexcept {
  const char* const function = "KVOFWDL_StartDownload";
  return RunExport(function, [&]() -> KVOFWDL_STATUS {
    Log(LogType::Info, "enter KVOFWDL_StartDownload( '%s',0x%08X )\n", Printable(KwfFileName),
        flags);
    if (IsNullParameter(KwfFileName, function, "KwfFileName")) {
      return KVOFWDL_STATUS_INVALID_PARAMETER;
    }
    if (RefusedDuringDownload(function)) return KVOFWDL_STATUS_DOWNLOAD_IN_PROGRESS;
    LibraryState& library = Library();
    const uint32_t mode = (flags & KVOFWDL_START_ALWAYS_CNE) ? MODE_PROGRAM_AND_CNE : MODE_PROGRAM;
    if (const KVOFWDL_STATUS status = library.downloader.StartDownload(
            KwfFileName, library.enumeration.OpenUnit(), mode, flags);
        status != KVOFWDL_STATUS_SUCCESS) {
      Log(LogType::Error, "KVOFWDL_StartDownload: starting download failed\n");
      return status;
    }
    return KVOFWDL_STATUS_SUCCESS;
  });
}

KVOFWDL_STATUS SetTimeout(uint32_t index, uint32_t milliseconds) noexcept {
  const char* const function = "KVOFWDL_SetTimeout";
  return RunExport(function, [&]() -> KVOFWDL_STATUS {
    Log(LogType::Info, "enter KVOFWDL_SetTimeout( %d, %u )\n", static_cast<int>(index),
        milliseconds);
    if (RefusedDuringDownload(function)) return KVOFWDL_STATUS_DOWNLOAD_IN_PROGRESS;
    KvoFwdlDevice* unit = Library().enumeration.OpenUnit();
    if (unit == nullptr) {
      Log(LogType::Error, "KVOFWDL_SetTimeout: no open device\n");
      return KVOFWDL_STATUS_DEVICE_NOT_OPEN;
    }
    if (unit->SetTimeout(index, milliseconds) != KVOFWDL_STATUS_SUCCESS) {
      Log(LogType::Error, "KVOFWDL_SetTimeout: setting timeout on open device failed\n");
      return KVOFWDL_STATUS_UNKNOWN_TIMEOUT_PARAMETER;
    }
    return KVOFWDL_STATUS_SUCCESS;
  });
}

KVOFWDL_STATUS GetDownloadStatus(uint32_t* BytesDownloaded, uint32_t* TotalBytes) noexcept {
  // Polled many times a second: no "enter" entry.
  const char* const function = "KVOFWDL_GetDownloadStatus";
  return RunExport(function, [&]() -> KVOFWDL_STATUS {
    if (IsNullParameter(BytesDownloaded, function, "BytesDownloaded") ||
        IsNullParameter(TotalBytes, function, "TotalBytes")) {
      return KVOFWDL_STATUS_INVALID_PARAMETER;
    }
    const DownloadStatus& status = Library().downloader.Status();
    *BytesDownloaded = status.BytesDownloaded();
    *TotalBytes = status.TotalBytes();
    return status.Status();
  });
}

KVOFWDL_STATUS CloseDevice() noexcept {
  const char* const function = "KVOFWDL_CloseDevice";
  return RunExport(function, [&]() -> KVOFWDL_STATUS {
    Log(LogType::Info, "enter KVOFWDL_CloseDevice()\n");
    DeviceEnumeration& enumeration = Library().enumeration;
    if (enumeration.OpenUnit() == nullptr) {
      Log(LogType::Error, "KVOFWDL_CloseDevice: no open device to close\n");
      return KVOFWDL_STATUS_DEVICE_NOT_OPEN;
    }
    if (RefusedDuringDownload(function)) return KVOFWDL_STATUS_DOWNLOAD_IN_PROGRESS;
    enumeration.CloseDevice();
    return KVOFWDL_STATUS_SUCCESS;
  });
}

KVOFWDL_STATUS Reboot() noexcept {
  const char* const function = "KVOFWDL_Reboot";
  return RunExport(function, [&]() -> KVOFWDL_STATUS {
    Log(LogType::Info, "enter KVOFWDL_Reboot()\n");
    if (RefusedDuringDownload(function)) return KVOFWDL_STATUS_DOWNLOAD_IN_PROGRESS;
    // The platform restarts the computer (on the simulated bus: its driver and units); no
    // privilege has to be enabled for that here.
    if (const uint32_t error = platform::vhpd::client().requestRestart();
        error != platform::win_error::Success) {
      Log(LogType::Error, "KVOFWDL_Reboot: ExitWindowsEx failed with error = 0x%08X\n", error);
      return KVOFWDL_STATUS_REBOOT_FAILED;
    }
    return KVOFWDL_STATUS_SUCCESS;
  });
}

KVOFWDL_STATUS IsUserAdmin(uint32_t* IsAdmin) noexcept {
  const char* const function = "KVOFWDL_IsUserAdmin";
  return RunExport(function, [&]() -> KVOFWDL_STATUS {
    Log(LogType::Info, "enter KVOFWDL_IsUserAdmin()\n");
    if (IsNullParameter(IsAdmin, function, "IsAdmin")) return KVOFWDL_STATUS_INVALID_PARAMETER;
    *IsAdmin = 0;
    bool member = false;
    if (const uint32_t error = platform::userIsAdministrator(member); error != 0) {
      Log(LogType::Error, "KVOFWDL_IsUserAdmin: CheckTokenMembership failed with error = 0x%08X\n",
          error);
      return KVOFWDL_STATUS_FAILED;
    }
    *IsAdmin = member ? 1 : 0;
    return KVOFWDL_STATUS_SUCCESS;
  });
}

void TearDown() noexcept {
  try {
    std::lock_guard lock(ApiLock());
    TearDownLibrary();
  } catch (...) {
    // Nothing may escape an unload.
  }
}

}  // namespace fwdl::api
