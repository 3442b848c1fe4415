#include "control_panel/toolkit/png_writer.h"

#include <png.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "control_panel/toolkit/bitmap.h"

namespace velmora {
namespace {

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};

// Everything libpng may touch after a longjmp lives outside the function that calls setjmp.
bool encode(FILE* file, png_structp png, png_infop info, const std::vector<png_bytep>& rows,
            int width, int height) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, const_cast<png_bytepp>(rows.data()));
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

bool writePng(Bitmap& bitmap, const std::string& path) {
  if (!bitmap.isValid()) return false;
  const int width = bitmap.pixelWidth(), height = bitmap.pixelHeight();
  std::vector<png_byte> pixels(static_cast<size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const uint32_t p = bitmap.pixel(x, y);
      png_byte* out = &pixels[(static_cast<size_t>(y) * width + x) * 3];
      out[0] = static_cast<png_byte>(p >> 16);
      out[1] = static_cast<png_byte>(p >> 8);
      out[2] = static_cast<png_byte>(p);
    }
  }
  std::vector<png_bytep> rows(static_cast<size_t>(height));
  for (int y = 0; y < height; ++y) rows[y] = &pixels[static_cast<size_t>(y) * width * 3];

  std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  const bool written = info != nullptr && encode(file.get(), png, info, rows, width, height);
  png_destroy_write_struct(&png, &info);
  return written && std::fflush(file.get()) == 0;
}

}  // namespace velmora
