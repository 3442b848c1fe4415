// The CRC-32 of IEEE 802.3 (firmware files and their objects, PNG chunks): reflected polynomial
// 0xEDB88320, initial value 0xFFFFFFFF, result complemented.
#pragma once

#include <cstdint>
#include <span>

namespace platform {

// CRC of `data`; pass the CRC of the preceding bytes as `previous` to continue over a stream
// given in pieces.
uint32_t crc32(std::span<const uint8_t> data, uint32_t previous = 0);

}  // namespace platform
