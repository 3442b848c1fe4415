// writePng without libpng (the Windows build has none): the image data goes into the zlib
// stream as stored, uncompressed deflate blocks. Bigger files, the same pictures.
#include <cstdio>
#include <memory>
#include <span>
#include <vector>

#include "control_panel/toolkit/bitmap.h"
#include "control_panel/toolkit/png_writer.h"
#include "platform/crc32.h"

namespace velmora {
namespace {

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};

void appendBe32(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

void appendChunk(std::vector<uint8_t>& out, const char (&type)[5],
                 const std::vector<uint8_t>& data) {
  appendBe32(out, static_cast<uint32_t>(data.size()));
  const size_t typeStart = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  appendBe32(out, platform::crc32(std::span(out).subspan(typeStart)));
}

// A zlib stream of stored blocks of at most 65535 bytes, with its Adler-32.
std::vector<uint8_t> storedZlib(const std::vector<uint8_t>& raw) {
  std::vector<uint8_t> out{0x78, 0x01};
  size_t offset = 0;
  do {
    const size_t length = std::min<size_t>(raw.size() - offset, 65535);
    const bool last = offset + length == raw.size();
    out.push_back(last ? 1 : 0);
    out.push_back(static_cast<uint8_t>(length));
    out.push_back(static_cast<uint8_t>(length >> 8));
    out.push_back(static_cast<uint8_t>(~length));
    out.push_back(static_cast<uint8_t>(~length >> 8));
    out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(offset),
               raw.begin() + static_cast<std::ptrdiff_t>(offset + length));
    offset += length;
  } while (offset < raw.size());
  uint32_t a = 1, b = 0;
  for (uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  appendBe32(out, (b << 16) | a);
  return out;
}

}  // namespace

bool writePng(Bitmap& bitmap, const std::string& path) {
  if (!bitmap.isValid()) return false;
  const int width = bitmap.pixelWidth(), height = bitmap.pixelHeight();
  // Each row: filter type 0, then RGB.
  std::vector<uint8_t> raw;
  raw.reserve(static_cast<size_t>(height) * (1 + static_cast<size_t>(width) * 3));
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);
    for (int x = 0; x < width; ++x) {
      const uint32_t p = bitmap.pixel(x, y);
      raw.push_back(static_cast<uint8_t>(p >> 16));
      raw.push_back(static_cast<uint8_t>(p >> 8));
      raw.push_back(static_cast<uint8_t>(p));
    }
  }
  std::vector<uint8_t> header;
  appendBe32(header, static_cast<uint32_t>(width));
  appendBe32(header, static_cast<uint32_t>(height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, deflate, no filter, no interlace

  std::vector<uint8_t> file{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  appendChunk(file, "IHDR", header);
  appendChunk(file, "IDAT", storedZlib(raw));
  appendChunk(file, "IEND", {});

  std::unique_ptr<FILE, FileCloser> out(std::fopen(path.c_str(), "wb"));
  if (!out) return false;
  return std::fwrite(file.data(), 1, file.size(), out.get()) == file.size() &&
         std::fflush(out.get()) == 0;
}

}  // namespace velmora
