// Small builders shared by the toolkit tests: BMP files, archives and a loaded-archive scope.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "control_panel/toolkit/bitmap.h"
#include "control_panel/toolkit/named_bitmap.h"
#include "control_panel/toolkit/skin_archive.h"
#include "tools/skin/archive_packer.h"
#include "tools/skin/bmp_encoder.h"

namespace velmora::test {

// A valid bitmap filled with one colour.
inline Bitmap& paint(Bitmap& bitmap, uint32_t colour) {
  for (int y = 0; y < bitmap.height(); ++y) {
    for (int x = 0; x < bitmap.width(); ++x) bitmap.setPixel(x, y, colour);
  }
  return bitmap;
}

inline std::vector<uint8_t> bmpOf(Bitmap& bitmap) {
  return skin::encodeBmp24(bitmap.pixels(), bitmap.width(), bitmap.height(), bitmap.stride());
}

// A 24-bit BMP of one colour.
inline std::vector<uint8_t> solidBmp(int width, int height, uint32_t colour) {
  Bitmap bitmap(width, height);
  return bmpOf(paint(bitmap, colour));
}

// Loads an archive of `items` for the scope; afterwards no entries and no cached images.
class ScopedArchive {
 public:
  explicit ScopedArchive(const std::vector<skin::ArchiveItem>& items) {
    bytes_ = skin::packArchive(items);
    loadArchive(bytes_.data(), bytes_.size());
  }
  ~ScopedArchive() {
    releaseNamedBitmaps();
    loadArchive(nullptr, 0);
  }
  ScopedArchive(const ScopedArchive&) = delete;
  ScopedArchive& operator=(const ScopedArchive&) = delete;

  std::vector<uint8_t>& bytes() { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

}  // namespace velmora::test
