// The 104-byte information block every unit carries at 0xFFFF:C8020000: little-endian words,
// used as delivered. Shared by everything that reads or models it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace platform::unit_info {

inline constexpr size_t kSize = 104;
inline constexpr uint16_t kAddressHigh = 0xFFFF;
inline constexpr uint32_t kAddressLow = 0xC8020000;

// Field offsets.
inline constexpr size_t kManufacturerId = 0;  // 8 characters, "tarnwick", no terminator
inline constexpr size_t kProtocolVersion = 8;
inline constexpr size_t kBootloaderMode = 12;
inline constexpr size_t kGuidHigh = 16;
inline constexpr size_t kGuidLow = 20;  // the unit's serial number
inline constexpr size_t kHardwareModelId = 24;
inline constexpr size_t kAuxWord1 = 28;
inline constexpr size_t kBuildStamp1 = 32;  // 16 characters
inline constexpr size_t kSoftwareId = 48;
inline constexpr size_t kFirmwareVersion = 52;
inline constexpr size_t kAuxWord2 = 56;
inline constexpr size_t kMaxImageLength = 60;
inline constexpr size_t kBuildStamp2 = 64;
inline constexpr size_t kBuildStamp3 = 80;
inline constexpr size_t kAuxWord3 = 96;
inline constexpr size_t kAuxWord4 = 100;

inline constexpr char kManufacturer[] = "tarnwick";
inline constexpr uint32_t kModelStudio = 0x13;
inline constexpr uint32_t kModelCompact = 0x14;

// Firmware versions: bits 31-24 major, 23-16 minor, 15-0 build.
inline std::string formatFirmwareVersion(uint32_t version) {
  char text[32];
  std::snprintf(text, sizeof text, "%u.%u.%u", version >> 24, (version >> 16) & 0xFF,
                version & 0xFFFF);
  return text;
}

}  // namespace platform::unit_info
