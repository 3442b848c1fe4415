// Arbitrary bytes as a BMP file: decoding reads nothing outside the data, and whatever decodes
// (as a ×1 image and as one of the ×2 skin) can be copied, blended, measured as a glyph grid
// and drawn with, into targets of both scales.
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
  for (const int scale : {1, 2}) {
    velmora::Bitmap image(bytes.get(), size, scale);
    if (!image.isValid()) return 0;
    for (const int targetScale : {1, 2}) {
      velmora::Bitmap target(16, 16, targetScale);
      image.copyTo(&target, -3, 5);
      image.blendTo(&target, &image, 2, -1, nullptr, true);
      velmora::Font font(&image, 7);
      font.drawString(&target, 0, 0, "Velmora 192");
      font.drawStringTinted(&target, -2, 1, "Velmora 192", 0xFFFFFF, 0x102030, 0.5f);
    }
  }
  return 0;
}
