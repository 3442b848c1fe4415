#include "fwdl/kvo_fwdl_device.h"

#include <cstring>

#include "fwdl/logging/library_log.h"
#include "platform/win_error.h"

namespace fwdl {

namespace pv = platform::vhpd;
namespace we = platform::win_error;

namespace {

void CopyText(char* to, size_t size, const uint8_t* from) {
  std::memcpy(to, from, size);
}

// A date/time pair of the block (8 + 8 characters) into two 12-character fields.
void CopyStamp(const uint8_t* stamp, char* date, char* time) {
  std::memcpy(date, stamp, 8);
  std::memcpy(time, stamp + 8, 8);
}

}  // namespace

KvoFwdlDevice::~KvoFwdlDevice() {
  Close();
}

KVOFWDL_STATUS KvoFwdlDevice::Open(uint32_t index, const DeviceInfoSet* set, const pv::Guid* guid) {
  Log(LogType::Info, "KvoFwdlDevice::Open ...\n");
  const uint32_t result = CKvo1394CtrlImpl::Open(index, set, guid);
  if (result != we::Success) {
    Log(LogType::Error, "open device failed with VHPD_STATUS = 0x%08X\n", result);
    return result == pv::KVO_STATUS_NO_MORE_ITEMS ? KVOFWDL_STATUS_DEVICE_OPEN_FAILED
                                                  : KVOFWDL_STATUS_DRIVER_OPEN_FAILED;
  }

  auto fail = [this](KVOFWDL_STATUS status) {
    Close();
    return status;
  };
  if (DevicePath().empty()) {
    Log(LogType::Error, "Open: GetDevicePathName failed\n");
    return fail(KVOFWDL_STATUS_DEVICE_OPEN_FAILED);
  }
  devicePath_ = DevicePath();

  std::array<uint8_t, pv::kDevicePropertiesSize> properties{};
  if (const uint32_t error = QueryDriver(pv::IOCTL_VHPD_GET_DEVICE_PROPERTIES, properties);
      error != we::Success) {
    Log(LogType::Error, "GetDeviceProperties failed with VHPD_STATUS = 0x%08X\n", error);
    return fail(KVOFWDL_STATUS_DEVICE_READ_FAILED);
  }
  CopyText(deviceText1_.data(), deviceText1_.size(),
           properties.data() + pv::kDevicePropertiesText1Offset);
  CopyText(deviceText2_.data(), deviceText2_.size(),
           properties.data() + pv::kDevicePropertiesText2Offset);

  if (const KVOFWDL_STATUS status = GetDeviceInfo(nullptr, false);
      status != KVOFWDL_STATUS_SUCCESS) {
    Log(LogType::Error, "open device: GetDeviceInfo failed\n");
    return fail(status);
  }
  if (!info_.HasManufacturerId()) {
    const uint8_t* f = info_.Bytes().data() + unit_info::kManufacturerId;
    const auto* e = reinterpret_cast<const uint8_t*>(unit_info::kManufacturer);
    Log(LogType::Error,
        "Open: unexpected manufacturer ID 0x%02x%02x%02x%02x%02x%02x%02x%02x of the device. "
        "Expected ID is 0x%02x%02x%02x%02x%02x%02x%02x%02x.\n",
        f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], e[0], e[1], e[2], e[3], e[4], e[5], e[6],
        e[7]);
    return fail(KVOFWDL_STATUS_WRONG_MANUFACTURER);
  }
  open_ = true;
  return KVOFWDL_STATUS_SUCCESS;
}

void KvoFwdlDevice::Close() {
  Log(LogType::Info, "KvoFwdlDevice::Close ...\n");
  CloseChannel();
  info_.Clear();
  open_ = false;
}

KVOFWDL_STATUS KvoFwdlDevice::GetDeviceInfo(KVOFWDL_DEVICE_INFO* record, bool force,
                                            uint32_t waitMs) {
  Log(LogType::Info, "KvoFwdlDevice::GetDeviceInfo ...\n");
  if (force || !info_.HasManufacturerId()) {
    if (const KVOFWDL_STATUS status = ReadDeviceInfoWithin(waitMs);
        status != KVOFWDL_STATUS_SUCCESS) {
      Log(LogType::Error, "GetDeviceInfo: ReadDeviceInfo failed with KVOFWDL_STATUS 0x%08X\n",
          status);
      return status;
    }
  }
  if (record == nullptr) return KVOFWDL_STATUS_SUCCESS;

  std::memset(record, 0, sizeof *record);
  const uint8_t* b = info_.Bytes().data();
  std::memcpy(record->DeviceText1, deviceText1_.data(), deviceText1_.size());
  std::memcpy(record->DeviceText2, deviceText2_.data(), deviceText2_.size());
  std::memcpy(record->ManufacturerId, b + unit_info::kManufacturerId, 8);
  record->ProtocolVersion = info_.ProtocolVersion();
  record->BootloaderMode = info_.BootloaderMode();
  for (int i = 0; i < 4; ++i) {
    record->UniqueId[i] = static_cast<uint8_t>(info_.GuidHigh() >> (24 - 8 * i));
    record->UniqueId[4 + i] = static_cast<uint8_t>(info_.GuidLow() >> (24 - 8 * i));
  }
  record->HardwareModelID = info_.HardwareModelID();
  record->AuxWord1 = info_.Word(unit_info::kAuxWord1);
  CopyStamp(b + unit_info::kBuildStamp1, record->BuildStamp1Date, record->BuildStamp1Time);
  record->SoftwareId = info_.SoftwareId();
  record->FirmwareVersion = info_.FirmwareVersion();
  record->AuxWord2 = info_.Word(unit_info::kAuxWord2);
  record->MaxImageLength = info_.MaxImageLength();
  CopyStamp(b + unit_info::kBuildStamp2, record->BuildStamp2Date, record->BuildStamp2Time);
  CopyStamp(b + unit_info::kBuildStamp3, record->BuildStamp3Date, record->BuildStamp3Time);
  record->AuxWord3 = info_.Word(unit_info::kAuxWord3);
  record->AuxWord4 = info_.Word(unit_info::kAuxWord4);
  return KVOFWDL_STATUS_SUCCESS;
}

}  // namespace fwdl
