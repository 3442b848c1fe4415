#include "platform/win32/vhpd_driver.h"

namespace platform::vhpd::win32 {

namespace {
// Planned, application, installation.
constexpr DWORD kRestartReason = 0x80040002;
}  // namespace

uint32_t enableShutdownPrivilege() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
    return GetLastError();
  }
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  DWORD error = ERROR_SUCCESS;
  if (!LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid)) {
    error = GetLastError();
  } else {
    // AdjustTokenPrivileges succeeds even when the privilege was not held; the last error says.
    SetLastError(ERROR_SUCCESS);
    AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    error = GetLastError();
  }
  CloseHandle(token);
  return error;
}

uint32_t restartComputer() {
  if (const uint32_t error = enableShutdownPrivilege(); error != ERROR_SUCCESS) return error;
  return ExitWindowsEx(EWX_REBOOT, kRestartReason) ? win_error::Success : GetLastError();
}

}  // namespace platform::vhpd::win32
