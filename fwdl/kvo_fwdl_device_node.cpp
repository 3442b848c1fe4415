// Disabling and enabling a unit's device node so that its driver reloads, and whether the
// operating system wants a restart for it.
#include "fwdl/kvo_fwdl_device.h"
#include "fwdl/logging/library_log.h"
#include "platform/vhpd_client.h"
#include "platform/win_error.h"

namespace fwdl {

namespace pv = platform::vhpd;
namespace we = platform::win_error;

KVOFWDL_STATUS KvoFwdlDevice::SetState(pv::DeviceNodeChange change, bool& rebootRequired) {
  Log(LogType::Info, "KvoFwdlDevice::SetState ...\n");
  // The node as the enumeration found it: a disabled node is no longer present, so it could
  // not be looked up again to be enabled.
  const std::shared_ptr<pv::DeviceNode>& node = DeviceNode();
  if (const uint32_t error = node ? node->changeState(change) : we::NotFound;
      error != we::Success) {
    Log(LogType::Error, "SetState: SetupDiCallClassInstaller failed with error = 0x%08X\n", error);
    return KVOFWDL_STATUS_FAILED;
  }
  if (const KVOFWDL_STATUS status = IsRebootRequired(rebootRequired);
      status != KVOFWDL_STATUS_SUCCESS) {
    Log(LogType::Error, "SetState: IsRebootRequired failed with KVOFWDL_STATUS = 0x%08X\n", status);
    return status;
  }
  return KVOFWDL_STATUS_SUCCESS;
}

KVOFWDL_STATUS KvoFwdlDevice::Disable(bool& rebootRequired) {
  Log(LogType::Info, "KvoFwdlDevice::Disable ...\n");
  CloseChannel();  // the open flag stays: only closing the unit is meaningful from here
  if (const KVOFWDL_STATUS status = SetState(pv::DeviceNodeChange::Disable, rebootRequired);
      status != KVOFWDL_STATUS_SUCCESS) {
    Log(LogType::Error, "Disable: SetState failed with KVOFWDL_STATUS 0x%08X\n", status);
    return status;
  }
  return KVOFWDL_STATUS_SUCCESS;
}

KVOFWDL_STATUS KvoFwdlDevice::Enable(bool& rebootRequired) {
  Log(LogType::Info, "enable the device...\n");
  return SetState(pv::DeviceNodeChange::Enable, rebootRequired);
}

KVOFWDL_STATUS KvoFwdlDevice::MayChangeState(bool& allowed) {
  allowed = false;
  const std::shared_ptr<pv::DeviceNode>& node = DeviceNode();
  if (const uint32_t error = node ? node->mayChangeState(allowed) : we::NotFound;
      error != we::Success) {
    Log(LogType::Error,
        "MayChangeState: the rights on the device node are unknown, error = 0x%08X\n", error);
    return KVOFWDL_STATUS_FAILED;
  }
  return KVOFWDL_STATUS_SUCCESS;
}

KVOFWDL_STATUS KvoFwdlDevice::IsRebootRequired(bool& rebootRequired) {
  Log(LogType::Info, "KvoFwdlDevice::IsRebootRequired ...\n");
  uint32_t flags = 0;
  const std::shared_ptr<pv::DeviceNode>& node = DeviceNode();
  if (const uint32_t error = node ? node->installFlags(flags) : we::NotFound;
      error != we::Success) {
    Log(LogType::Error,
        "IsRebootRequired: SetupDiGetDeviceInstallParams failed with error = 0x%08X\n", error);
    return KVOFWDL_STATUS_FAILED;
  }
  rebootRequired = (flags & (pv::DI_NEEDRESTART | pv::DI_NEEDREBOOT)) != 0;
  Log(LogType::Info, "%s", rebootRequired ? "Reboot is required.\n" : "Reboot is not required.\n");
  return KVOFWDL_STATUS_SUCCESS;
}

}  // namespace fwdl
