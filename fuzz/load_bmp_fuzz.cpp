// Arbitrary bytes as a BMP file: decoding reads nothing outside the data, and whatever decodes
// can be copied, blended and measured as a glyph grid.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "control_panel/toolkit/bitmap.h"
#include "control_panel/toolkit/font.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An exact-size copy, so that a read past the end is caught.
  std::unique_ptr<uint8_t[]> bytes(new uint8_t[size > 0 ? size : 1]);
  if (size > 0) std::memcpy(bytes.get(), data, size);
  velmora::Bitmap image(bytes.get(), size);
  if (!image.isValid()) return 0;
  velmora::Bitmap target(16, 16);
  image.copyTo(&target, -3, 5);
  image.blendTo(&target, &image, 2, -1, nullptr, true);
  velmora::Font font(&image, 7);
  font.drawString(&target, 0, 0, "Velmora 192");
  return 0;
}
