// The CRC-32 of IEEE 802.3 that guards every object of a firmware file: reflected polynomial
// 0xEDB88320, initial value 0xFFFFFFFF, result complemented.
#pragma once

#include <cstdint>
#include <span>

namespace fwdl {

// CRC of `data`; pass the CRC of the preceding bytes as `previous` to continue over a stream
// given in pieces.
uint32_t Crc32(std::span<const uint8_t> data, uint32_t previous = 0);

}  // namespace fwdl
