// The process's view of the 1394 bus driver (VHPD): device-interface enumeration, opening
// device paths and the control device, device I/O control with overlapped completion,
// device-node cycling, the driver's settings values, the bus-change notification and the
// computer restart. On Linux the backend is the simulated bus; a Windows backend implements
// the same interface over SetupAPI, CreateFile and DeviceIoControl.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/vhpd_protocol.h"
#include "platform/win_error.h"

namespace platform::vhpd {

// Outcome of a completed request: 0 or a Windows error / driver status, and the bytes
// written to the output buffer.
struct IoResult {
  uint32_t error = win_error::Success;
  uint32_t bytesReturned = 0;
};

// An overlapped request the driver has not completed yet (DeviceIoControl gave
// ERROR_IO_PENDING). The caller's output buffer must stay valid until it completes.
class PendingIo {
 public:
  virtual ~PendingIo() = default;
  // HasOverlappedIoCompleted: true once complete; result() is then final.
  virtual bool poll() = 0;
  virtual IoResult result() const = 0;
  // CancelIo: the request completes soon after with OperationAborted.
  virtual void cancel() = 0;
};

// What DeviceIoControl returns: either the immediate result, or a pending request.
struct IoCall {
  IoResult immediate;
  std::unique_ptr<PendingIo> pending;
  bool isPending() const { return pending != nullptr; }
};

// GetOverlappedResult after waiting on the request's event: waits on the process Clock
// without limit (nullopt) or up to `timeoutMs`. On expiry the request is cancelled, the
// wait goes on until the cancelled request has completed (so its buffers may be released),
// and the result is WaitTimeout.
IoResult completeIo(IoCall call, std::optional<uint32_t> timeoutMs = std::nullopt);

// An open device path or control device (a HANDLE from CreateFile). Destroying it closes it.
class DeviceHandle {
 public:
  virtual ~DeviceHandle() = default;
  // DeviceIoControl with `input` into the driver and `output` out of it. A handle opened
  // synchronously always completes at once; an overlapped one may return a pending call.
  virtual IoCall ioControl(uint32_t code, std::span<const uint8_t> input,
                           std::span<uint8_t> output) = 0;
};

enum class OpenMode { Synchronous, Overlapped };  // FILE_FLAG_OVERLAPPED or not

// A unit's device node as one enumeration found it: the SP_DEVINFO_DATA of the device
// information set that enumeration made, kept alive with this object. On Windows a disabled
// node's interface is no longer present, so no later enumeration finds it: a node disabled
// through this object is enabled again through this same object.
class DeviceNode {
 public:
  virtual ~DeviceNode() = default;
  // SetupDiSetClassInstallParams + SetupDiCallClassInstaller(DIF_PROPERTYCHANGE, global
  // scope) on the node.
  [[nodiscard]] virtual uint32_t changeState(DeviceNodeChange change) = 0;
  // SetupDiGetDeviceInstallParams on the same set: the install flags (DI_NEEDRESTART,
  // DI_NEEDREBOOT) the last change through this object left. NotFound before any change.
  [[nodiscard]] virtual uint32_t installFlags(uint32_t& flags) = 0;
  // Whether this process may change the node: Windows lets only an elevated administrator
  // disable a device, and refuses others with ERROR_ACCESS_DENIED. Asked before a unit is
  // touched, so that a download is not followed by a node cycle that cannot happen.
  [[nodiscard]] virtual uint32_t mayChangeState(bool& allowed) = 0;
};

// A present interface: its device path and its device node.
struct PresentInterface {
  std::string path;
  std::shared_ptr<DeviceNode> node;
};

// Keeps a bus-change subscription alive; destroying it unsubscribes.
class Subscription {
 public:
  virtual ~Subscription() = default;
};

class VhpdClient {
 public:
  virtual ~VhpdClient() = default;

  // SetupDiGetClassDevs(DIGCF_PRESENT | DIGCF_DEVICEINTERFACE) with SetupDiEnumDeviceInterfaces
  // and the interface detail: the device paths of the present interfaces of `guid`, in order.
  [[nodiscard]] virtual uint32_t presentInterfaces(const Guid& guid,
                                                   std::vector<std::string>& paths) = 0;

  // CreateFile(GENERIC_READ | GENERIC_WRITE, shared, OPEN_EXISTING) on a device path or on
  // the control device "\\.\{GUID}". FileNotFound when nothing answers to the name.
  [[nodiscard]] virtual uint32_t open(const std::string& path, OpenMode mode,
                                      std::unique_ptr<DeviceHandle>& handle) = 0;

  // presentInterfaces with each interface's device node, all from one device information set.
  [[nodiscard]] virtual uint32_t presentDeviceNodes(const Guid& guid,
                                                    std::vector<PresentInterface>& interfaces) = 0;

  // RegOpenKey under HKEY_LOCAL_MACHINE: whether the driver's settings key can be opened.
  [[nodiscard]] virtual uint32_t openDriverSettingsKey(const std::string& key) = 0;
  // RegQueryValueEx / RegSetValueEx of a REG_DWORD value under that key.
  [[nodiscard]] virtual uint32_t readDriverSetting(const std::string& key, const std::string& name,
                                                   uint32_t& value) = 0;
  [[nodiscard]] virtual uint32_t writeDriverSetting(const std::string& key, const std::string& name,
                                                    uint32_t value) = 0;

  // ExitWindowsEx(EWX_REBOOT): restart the computer. The simulated bus restarts its driver
  // and units instead.
  [[nodiscard]] virtual uint32_t requestRestart() = 0;

  // RegisterDeviceNotification / WM_DEVICECHANGE: `onChange` runs after every change of the
  // bus (a unit arrived or left), on a thread of the backend's choosing; marshal it to your
  // own thread. Keep the returned object alive as long as you want notifications.
  virtual std::unique_ptr<Subscription> subscribeBusChanges(std::function<void()> onChange) = 0;

  // Which bus this is, for names that must differ between buses: empty for the computer's one
  // driver; a simulated bus names itself (a bus inside one process is that process's own).
  virtual std::string busName() const { return {}; }
};

// The driver of this process: the backend linked into the program (the simulated bus on
// Linux, chosen by VELMORA_SIMBUS), created at first use, unless a test installed another.
VhpdClient& client();

// Installs `replacement` as the process's driver while this object lives.
class ScopedClient {
 public:
  explicit ScopedClient(std::shared_ptr<VhpdClient> replacement);
  ~ScopedClient();
  ScopedClient(const ScopedClient&) = delete;
  ScopedClient& operator=(const ScopedClient&) = delete;

 private:
  std::shared_ptr<VhpdClient> previous_;
};

// Defined by the backend library the program links (simbus on Linux).
std::shared_ptr<VhpdClient> makeDefaultClient();

}  // namespace platform::vhpd
