// The exported records keep their byte layouts on every compiler and platform.
#include <cstddef>

#include "fwdl/include/dun_fwdl.h"

namespace {

using FileInfo = KVOFWDL_KWF_FILE_INFO;
static_assert(KVOFWDL_KWF_FILE_INFO_TEXT_SIZE == 512);
static_assert(sizeof(FileInfo) == 556);
static_assert(offsetof(FileInfo, FileKind) == 0);
static_assert(offsetof(FileInfo, SoftwareId) == 4);
static_assert(offsetof(FileInfo, FirmwareVersion) == 8);
static_assert(offsetof(FileInfo, CompatibleHardwareVersion) == 12);
static_assert(offsetof(FileInfo, BuildDate) == 16);
static_assert(offsetof(FileInfo, BuildTime) == 28);
static_assert(offsetof(FileInfo, NodeVendorId) == 40);
static_assert(offsetof(FileInfo, InfoText) == 43);
static_assert(offsetof(FileInfo, Padding) == 555);

using DeviceInfo = KVOFWDL_DEVICE_INFO;
static_assert(sizeof(DeviceInfo) == 468);
static_assert(offsetof(DeviceInfo, DeviceText1) == 0);
static_assert(offsetof(DeviceInfo, DeviceText2) == 256);
static_assert(offsetof(DeviceInfo, ManufacturerId) == 336);
static_assert(offsetof(DeviceInfo, ProtocolVersion) == 348);
static_assert(offsetof(DeviceInfo, BootloaderMode) == 352);
static_assert(offsetof(DeviceInfo, UniqueId) == 356);
static_assert(offsetof(DeviceInfo, HardwareModelID) == 364);
static_assert(offsetof(DeviceInfo, AuxWord1) == 368);
static_assert(offsetof(DeviceInfo, BuildStamp1Date) == 372);
static_assert(offsetof(DeviceInfo, BuildStamp1Time) == 384);
static_assert(offsetof(DeviceInfo, SoftwareId) == 396);
static_assert(offsetof(DeviceInfo, FirmwareVersion) == 400);
static_assert(offsetof(DeviceInfo, AuxWord2) == 404);
static_assert(offsetof(DeviceInfo, MaxImageLength) == 408);
static_assert(offsetof(DeviceInfo, BuildStamp2Date) == 412);
static_assert(offsetof(DeviceInfo, BuildStamp2Time) == 424);
static_assert(offsetof(DeviceInfo, BuildStamp3Date) == 436);
static_assert(offsetof(DeviceInfo, BuildStamp3Time) == 448);
static_assert(offsetof(DeviceInfo, AuxWord3) == 460);
static_assert(offsetof(DeviceInfo, AuxWord4) == 464);

static_assert(sizeof(KVOFWDL_STATUS) == 4);

}  // namespace
