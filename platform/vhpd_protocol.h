// The user-mode interface of the interfaces' 1394 bus driver (VHPD): device interface GUID,
// control codes, request records and the driver's status codes. Shared by the control panel's
// device link, the firmware library and the simulated bus. All record integers are
// little-endian, as the driver takes them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace platform::vhpd {

// Binary GUID in the Windows layout (three little-endian fields, then 8 bytes).
struct Guid {
  uint32_t data1 = 0;
  uint16_t data2 = 0;
  uint16_t data3 = 0;
  std::array<uint8_t, 8> data4{};
  friend bool operator==(const Guid&, const Guid&) = default;
};

// The device interface every unit exposes; the driver's control device is named after it.
inline constexpr char kInterfaceGuidText[] = "{D4647551-A610-4623-AD1E-2F4A94EFE734}";
inline constexpr Guid kInterfaceGuid{
    0xD4647551, 0xA610, 0x4623, {0xAD, 0x1E, 0x2F, 0x4A, 0x94, 0xEF, 0xE7, 0x34}};

// Control codes (device type 0x8088).
inline constexpr uint32_t IOCTL_VHPD_GET_DRIVER_INFO = 0x80882804;
inline constexpr uint32_t IOCTL_VHPD_GET_STREAM_COUNTERS = 0x80882808;
inline constexpr uint32_t IOCTL_VHPD_GET_SAMPLE_RATE = 0x808828C0;
inline constexpr uint32_t IOCTL_VHPD_SET_SAMPLE_RATE = 0x808828C4;
inline constexpr uint32_t IOCTL_VHPD_START_ALL_DEVICES = 0x80882A00;
inline constexpr uint32_t IOCTL_VHPD_STOP_ALL_DEVICES = 0x80882A04;
inline constexpr uint32_t IOCTL_VHPD_GET_DEVICE_PROPERTIES = 0x80882B00;
inline constexpr uint32_t IOCTL_VHPD_GET_DEVICE_FLAGS = 0x80882C08;
inline constexpr uint32_t IOCTL_VHPD_GET_RESET_GENERATION_COUNT = 0x80882C1C;
inline constexpr uint32_t IOCTL_VHPD_ASYNC_WRITE = 0x80882C51;
inline constexpr uint32_t IOCTL_VHPD_ASYNC_READ = 0x80882C56;
inline constexpr uint32_t IOCTL_VHPD_FCP_TRANSACTION = 0x80883004;

// Driver status codes (returned in place of a Windows error).
inline constexpr uint32_t KVO_STATUS_DRIVER_NOT_OPEN = 0xE0000013;
inline constexpr uint32_t KVO_STATUS_VERSION_MISMATCH = 0xE0000014;
inline constexpr uint32_t KVO_STATUS_ALREADY_OPEN = 0xE0000030;
inline constexpr uint32_t KVO_STATUS_DEVICE_REMOVED = 0xE0000050;
inline constexpr uint32_t KVO_STATUS_NO_EVENT = 0xE0000100;
inline constexpr uint32_t KVO_STATUS_FRAME_TOO_LONG = 0xE0000300;
inline constexpr uint32_t KVO_STATUS_LENGTH_MISMATCH = 0xE0000304;
inline constexpr uint32_t VHPD_STATUS_INVALID_GEN_COUNT = 0xE0000351;
inline constexpr uint32_t KVO_STATUS_OPEN_FAILED = 0xE0008001;
inline constexpr uint32_t KVO_STATUS_NOT_OPEN = 0xE0008002;
inline constexpr uint32_t KVO_STATUS_TIMEOUT = 0xE0008003;
inline constexpr uint32_t KVO_STATUS_INVALID_PARAMETER = 0xE0008008;
inline constexpr uint32_t KVO_STATUS_NO_MORE_ITEMS = 0xE0008010;
inline constexpr uint32_t KVO_STATUS_NO_MEMORY = 0xE0008020;

// Record sizes.
inline constexpr size_t kAsyncRequestSize = 16;
inline constexpr size_t kFcpMaxFrame = 512;
inline constexpr size_t kFcpRequestSize = 8 + kFcpMaxFrame;   // time-out, length, frame
inline constexpr size_t kFcpResponseSize = 4 + kFcpMaxFrame;  // length, frame
inline constexpr uint32_t kFcpTimeoutMs = 4000;
inline constexpr size_t kDriverInfoSize = 12;
inline constexpr size_t kSampleRateGetSize = 44;
inline constexpr size_t kSampleRateSetSize = 8;
inline constexpr size_t kStreamCountersSize = 8;
inline constexpr size_t kDeviceFlagsSize = 4;
inline constexpr size_t kDevicePropertiesSize = 432;
inline constexpr size_t kDevicePropertiesText1Offset = 88;
inline constexpr size_t kDevicePropertiesText1Size = 256;
inline constexpr size_t kDevicePropertiesText2Offset = 344;
inline constexpr size_t kDevicePropertiesText2Size = 80;
inline constexpr size_t kGenerationCountSize = 4;

// 48-bit bus addresses are written high16:low32, e.g. 0xFFFF:C8020000.
constexpr uint64_t busAddress(uint16_t high, uint32_t low) {
  return (static_cast<uint64_t>(high) << 32) | low;
}

// Little-endian helpers for the records.
inline uint32_t loadLe32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
inline void storeLe32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}
inline uint32_t loadBe32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
         static_cast<uint32_t>(p[2]) << 8 | static_cast<uint32_t>(p[3]);
}
inline void storeBe32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v >> 24);
  p[1] = static_cast<uint8_t>(v >> 16);
  p[2] = static_cast<uint8_t>(v >> 8);
  p[3] = static_cast<uint8_t>(v);
}

// AsyncRequest: the 48-bit destination as a little-endian 64-bit number, then 8 zero bytes.
inline std::array<uint8_t, kAsyncRequestSize> makeAsyncRequest(uint64_t address) {
  std::array<uint8_t, kAsyncRequestSize> r{};
  storeLe32(r.data(), static_cast<uint32_t>(address));
  storeLe32(r.data() + 4, static_cast<uint32_t>(address >> 32) & 0xFFFF);
  return r;
}
inline uint64_t asyncRequestAddress(const uint8_t* request) {
  return busAddress(static_cast<uint16_t>(loadLe32(request + 4)), loadLe32(request));
}

// The driver's settings store (the registry under HKEY_LOCAL_MACHINE): one key per model,
// each with the REG_DWORD value "SampleRate[Hz]".
inline constexpr char kStudioSettingsKey[] =
    "SYSTEM\\CurrentControlSet\\Services\\vmStudio_1394\\ConfigDB\\Settings";
inline constexpr char kCompactSettingsKey[] =
    "SYSTEM\\CurrentControlSet\\Services\\vmCompact_1394\\ConfigDB\\Settings";
inline constexpr char kSampleRateValue[] = "SampleRate[Hz]";

// Device-node state changes and the install flags read back after one.
enum class DeviceNodeChange : uint32_t { Enable = 1, Disable = 2 };
inline constexpr uint32_t DI_NEEDRESTART = 0x80;
inline constexpr uint32_t DI_NEEDREBOOT = 0x100;

}  // namespace platform::vhpd
