// A unit's 104-byte information block as the library keeps it: the bytes as read, with the
// fields taken out by offset.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "fwdl/little_endian.h"
#include "platform/unit_info_block.h"

namespace fwdl {

namespace unit_info = platform::unit_info;

class UnitInfo {
 public:
  std::array<uint8_t, unit_info::kSize>& Bytes() { return bytes_; }
  const std::array<uint8_t, unit_info::kSize>& Bytes() const { return bytes_; }
  void Clear() { bytes_.fill(0); }

  bool HasManufacturerId() const {
    return std::memcmp(bytes_.data() + unit_info::kManufacturerId, unit_info::kManufacturer, 8) ==
           0;
  }
  uint32_t ProtocolVersion() const { return Word(unit_info::kProtocolVersion); }
  uint32_t BootloaderMode() const { return Word(unit_info::kBootloaderMode); }
  uint32_t GuidHigh() const { return Word(unit_info::kGuidHigh); }
  uint32_t GuidLow() const { return Word(unit_info::kGuidLow); }
  uint32_t HardwareModelID() const { return Word(unit_info::kHardwareModelId); }
  uint32_t SoftwareId() const { return Word(unit_info::kSoftwareId); }
  uint32_t FirmwareVersion() const { return Word(unit_info::kFirmwareVersion); }
  uint32_t MaxImageLength() const { return Word(unit_info::kMaxImageLength); }

  // GuidHigh and GuidLow as stored, 8 bytes in memory order.
  std::array<uint8_t, 8> GuidBytes() const {
    std::array<uint8_t, 8> guid{};
    std::memcpy(guid.data(), bytes_.data() + unit_info::kGuidHigh, guid.size());
    return guid;
  }

  uint32_t Word(size_t offset) const { return LoadLe32(bytes_.data() + offset); }

 private:
  std::array<uint8_t, unit_info::kSize> bytes_{};
};

}  // namespace fwdl
