// The real bus driver behind platform::vhpd on Windows: SetupAPI for the device interfaces and
// device nodes, CreateFile and DeviceIoControl with overlapped completion, the registry for the
// driver's settings, ExitWindowsEx for the restart, a hidden window for WM_DEVICECHANGE.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/vhpd_client.h"
#include "platform/win32/windows_api.h"

namespace platform::vhpd::win32 {

std::shared_ptr<VhpdClient> makeDriverClient();

// ---- The pieces of the client, one file each ----

// The GUID in the layout Windows takes.
GUID toWindowsGuid(const Guid& guid);

// A failed call's GetLastError as the result the layers above expect: the driver's own
// 0xE000xxxx statuses and the Windows errors pass through, a name that nothing answers to is
// FileNotFound, and a success code where a failure was reported is GenFailure.
uint32_t fromLastError(DWORD error);

// The present interfaces of `guid` and their device paths.
uint32_t enumerateInterfaces(const Guid& guid, std::vector<std::string>& paths);

// The present interfaces of `guid` with their device nodes, all in one device information
// set that lives as long as any of the nodes.
uint32_t enumerateDeviceNodes(const Guid& guid, std::vector<PresentInterface>& interfaces);

// CreateFile on `path`, overlapped or not.
uint32_t openDevice(const std::string& path, OpenMode mode, std::unique_ptr<DeviceHandle>& handle);

// A DeviceHandle over a handle opened elsewhere (with FILE_FLAG_OVERLAPPED when `mode` says
// so); it closes the handle when destroyed.
std::unique_ptr<DeviceHandle> adoptDevice(HANDLE device, OpenMode mode);

uint32_t openSettingsKey(const std::string& key);
uint32_t readSetting(const std::string& key, const std::string& name, uint32_t& value);
uint32_t writeSetting(const std::string& key, const std::string& name, uint32_t value);

// Enables the shutdown privilege of the process token ("SeShutdownPrivilege"); an error when it
// is not held.
uint32_t enableShutdownPrivilege();
// Enables the shutdown privilege and restarts the computer.
uint32_t restartComputer();

// A hidden message-only window on its own thread that calls `onChange` for every arrival and
// removal of an interface of `guid`.
std::unique_ptr<Subscription> watchInterfaces(const Guid& guid, std::function<void()> onChange);

}  // namespace platform::vhpd::win32
