// The pixels of a PNG file, for tests that compare pictures.
#pragma once

#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

namespace velmora::test {

// The pixels of a PNG file as 0x00RRGGBB, rows top-down, or empty when it cannot be read.
inline std::vector<uint32_t> readPng(const std::string& path, int& width, int& height) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
  image.format = PNG_FORMAT_BGRA;
  std::vector<uint32_t> pixels(static_cast<size_t>(image.width) * image.height);
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return {};
  width = static_cast<int>(image.width);
  height = static_cast<int>(image.height);
  for (uint32_t& pixel : pixels) pixel &= 0x00FFFFFF;
  return pixels;
}

}  // namespace velmora::test
