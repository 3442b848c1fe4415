// Writes images as BMP files the way the skin archive carries them: 24 bits per pixel,
// a 40-byte information header, bottom-up rows padded to four bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velmora::skin {

// `pixels` are 0x00RRGGBB words, rows top-down, `stride` pixels apart.
std::vector<uint8_t> encodeBmp24(const uint32_t* pixels, int width, int height, int stride);

}  // namespace velmora::skin
