#include "control_panel/device/status_names.h"

#include <array>
#include <utility>

#include "control_panel/device/cv_avc.h"
#include "platform/vhpd_protocol.h"
#include "platform/win_error.h"

namespace velmora {

namespace pv = platform::vhpd;
namespace we = platform::win_error;

namespace {

constexpr std::array<std::pair<uint32_t, std::string_view>, 33> kNames{{
    {0, "success"},
    {kAvcNoDevice, "no device"},
    {pv::KVO_STATUS_DRIVER_NOT_OPEN, "KVO_STATUS_DRIVER_NOT_OPEN"},
    {pv::KVO_STATUS_VERSION_MISMATCH, "KVO_STATUS_VERSION_MISMATCH"},
    {pv::KVO_STATUS_ALREADY_OPEN, "KVO_STATUS_ALREADY_OPEN"},
    {pv::KVO_STATUS_DEVICE_REMOVED, "KVO_STATUS_DEVICE_REMOVED"},
    {pv::KVO_STATUS_NO_EVENT, "KVO_STATUS_NO_EVENT"},
    {pv::KVO_STATUS_FRAME_TOO_LONG, "KVO_STATUS_FRAME_TOO_LONG"},
    {pv::KVO_STATUS_LENGTH_MISMATCH, "KVO_STATUS_LENGTH_MISMATCH"},
    {pv::VHPD_STATUS_INVALID_GEN_COUNT, "VHPD_STATUS_INVALID_GEN_COUNT"},
    {pv::KVO_STATUS_OPEN_FAILED, "KVO_STATUS_OPEN_FAILED"},
    {pv::KVO_STATUS_NOT_OPEN, "KVO_STATUS_NOT_OPEN"},
    {pv::KVO_STATUS_TIMEOUT, "KVO_STATUS_TIMEOUT"},
    {pv::KVO_STATUS_INVALID_PARAMETER, "KVO_STATUS_INVALID_PARAMETER"},
    {pv::KVO_STATUS_NO_MORE_ITEMS, "KVO_STATUS_NO_MORE_ITEMS"},
    {pv::KVO_STATUS_NO_MEMORY, "KVO_STATUS_NO_MEMORY"},
    {KVO_STATUS_AVC_NOT_ACCEPTED, "KVO_STATUS_AVC_NOT_ACCEPTED"},
    {we::InvalidFunction, "ERROR_INVALID_FUNCTION"},
    {we::FileNotFound, "ERROR_FILE_NOT_FOUND"},
    {we::PathNotFound, "ERROR_PATH_NOT_FOUND"},
    {we::AccessDenied, "ERROR_ACCESS_DENIED"},
    {we::InvalidHandle, "ERROR_INVALID_HANDLE"},
    {we::NotEnoughMemory, "ERROR_NOT_ENOUGH_MEMORY"},
    {we::GenFailure, "ERROR_GEN_FAILURE"},
    {we::NotSupported, "ERROR_NOT_SUPPORTED"},
    {we::InvalidParameter, "ERROR_INVALID_PARAMETER"},
    {we::InsufficientBuffer, "ERROR_INSUFFICIENT_BUFFER"},
    {we::Busy, "ERROR_BUSY: a firmware update holds the unit"},
    {we::WaitTimeout, "WAIT_TIMEOUT"},
    {we::NoMoreItems, "ERROR_NO_MORE_ITEMS"},
    {we::InvalidAddress, "ERROR_INVALID_ADDRESS"},
    {we::OperationAborted, "ERROR_OPERATION_ABORTED"},
    {we::DeviceNotConnected, "ERROR_DEVICE_NOT_CONNECTED"},
}};

}  // namespace

std::string_view StatusName(uint32_t status) {
  for (const auto& [code, name] : kNames) {
    if (code == status) return name;
  }
  return "unknown status";
}

}  // namespace velmora
