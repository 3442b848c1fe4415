#include "tools/skin/bmp_encoder.h"

namespace velmora::skin {
namespace {

void putLe(std::vector<uint8_t>& out, size_t at, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

std::vector<uint8_t> encodeBmp24(const uint32_t* pixels, int width, int height, int stride) {
  const size_t rowBytes = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
  const size_t pixelBytes = rowBytes * static_cast<size_t>(height);
  std::vector<uint8_t> out(54 + pixelBytes, 0);
  out[0] = 'B';
  out[1] = 'M';
  putLe(out, 2, static_cast<uint32_t>(out.size()), 4);
  putLe(out, 10, 54, 4);  // pixel data offset
  putLe(out, 14, 40, 4);  // information header size
  putLe(out, 18, static_cast<uint32_t>(width), 4);
  putLe(out, 22, static_cast<uint32_t>(height), 4);
  putLe(out, 26, 1, 2);   // planes
  putLe(out, 28, 24, 2);  // bits per pixel
  putLe(out, 34, static_cast<uint32_t>(pixelBytes), 4);
  putLe(out, 38, 2835, 4);  // 72 pixels per inch
  putLe(out, 42, 2835, 4);
  for (int row = 0; row < height; ++row) {
    const uint32_t* source = pixels + static_cast<size_t>(height - 1 - row) * stride;
    uint8_t* target = out.data() + 54 + static_cast<size_t>(row) * rowBytes;
    for (int x = 0; x < width; ++x) {
      target[3 * x] = static_cast<uint8_t>(source[x]);
      target[3 * x + 1] = static_cast<uint8_t>(source[x] >> 8);
      target[3 * x + 2] = static_cast<uint8_t>(source[x] >> 16);
    }
  }
  return out;
}

}  // namespace velmora::skin
