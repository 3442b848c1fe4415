// Layout of a firmware file's header. All numbers are little-endian. A 48-byte common part is
// followed by a version part of 48 bytes (version 0) or 64 bytes (version 1); the info text
// follows the header, the objects lie at the offsets the header gives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace fwdl::kwf {

inline constexpr std::string_view kIdentifierV0 = "kWfM";
inline constexpr std::string_view kIdentifierV1 = "KwFm";

inline constexpr size_t kCommonSize = 48;
inline constexpr size_t kV0PartSize = 48;
inline constexpr size_t kV1PartSize = 64;
inline constexpr size_t kV0HeaderSize = kCommonSize + kV0PartSize;  // 96
inline constexpr size_t kV1HeaderSize = kCommonSize + kV1PartSize;  // 112
inline constexpr size_t kMaxHeaderSize = kV1HeaderSize;

inline constexpr size_t HeaderSize(uint32_t version) {
  return version == 0 ? kV0HeaderSize : kV1HeaderSize;
}

// Common part.
inline constexpr size_t kIdentifier = 0;  // 4 characters
inline constexpr size_t kFileKind = 4;
inline constexpr size_t kBuildDate = 8;   // 8 digits YYYYMMDD, no terminator
inline constexpr size_t kBuildTime = 16;  // 6 digits HHMMSS and 2 spare characters
inline constexpr size_t kStampLength = 8;
inline constexpr size_t kSoftwareId = 24;
inline constexpr size_t kFirmwareVersion = 28;
inline constexpr size_t kCompatibleHardwareVersion = 32;
inline constexpr size_t kNodeVendorId = 36;  // 3 bytes, least significant first
inline constexpr size_t kReserved = 39;
inline constexpr size_t kFileVersion = 40;  // 1 in a version-1 file; not read for version 0
inline constexpr size_t kHeaderCrc = 44;    // CRC of the header with these 4 bytes as zero

// Version part.
inline constexpr size_t kImage1Offset = 48;
inline constexpr size_t kImage1Address = 52;
inline constexpr size_t kImage1Length = 56;
inline constexpr size_t kImage1Crc = 60;
inline constexpr size_t kObject2Offset = 64;  // version 0: a second object, never downloaded
inline constexpr size_t kCnEOffset = 80;
inline constexpr size_t kCnELength = 88;
inline constexpr size_t kCnECrc = 92;

}  // namespace fwdl::kwf
