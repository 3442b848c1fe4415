#include "control_panel/toolkit/bitmap.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace velmora {
namespace {

uint32_t readLe16(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8;
}

uint32_t readLe32(const uint8_t* p) {
  return readLe16(p) | readLe16(p + 2) << 16;
}

uint32_t rgb(uint8_t red, uint8_t green, uint8_t blue) {
  return static_cast<uint32_t>(red) << 16 | static_cast<uint32_t>(green) << 8 | blue;
}

// What the header of a BMP file says, checked against the data's size.
struct BmpLayout {
  int64_t width = 0;
  int64_t height = 0;
  uint32_t bitsPerPixel = 0;
  size_t paletteOffset = 0;
  size_t paletteEntries = 0;
  size_t paletteEntrySize = 0;
  size_t pixelOffset = 0;
  size_t rowBytes = 0;
};

bool readLayout(const uint8_t* data, size_t size, BmpLayout& layout) {
  if (data == nullptr || size < 18 || data[0] != 'B' || data[1] != 'M') return false;
  const uint32_t headerSize = readLe32(data + 14);
  size_t headerEnd = 0;
  if (headerSize == 12) {
    if (size < 26) return false;
    layout.width = readLe16(data + 18);
    layout.height = readLe16(data + 20);
    layout.bitsPerPixel = readLe16(data + 24);
    headerEnd = 26;
    layout.paletteEntrySize = 3;  // a core header's palette holds RGB triples
  } else if (headerSize == 40) {
    if (size < 54) return false;
    layout.width = static_cast<int32_t>(readLe32(data + 18));
    layout.height = static_cast<int32_t>(readLe32(data + 22));
    layout.bitsPerPixel = readLe16(data + 28);
    headerEnd = 54;
    layout.paletteEntrySize = 4;
  } else {
    return false;
  }
  if (layout.width < 1 || layout.height < 1 || layout.width > Bitmap::kMaxSide ||
      layout.height > Bitmap::kMaxSide || layout.width * layout.height > Bitmap::kMaxPixels) {
    return false;
  }
  const uint32_t bpp = layout.bitsPerPixel;
  layout.paletteOffset = headerEnd;
  if (bpp > 8) {
    layout.rowBytes = static_cast<size_t>((3 * layout.width + 3) / 4 * 4);
  } else {
    if (bpp != 1 && bpp != 2 && bpp != 4 && bpp != 8) return false;
    layout.paletteEntries = size_t{1} << bpp;
    if (headerSize == 40) {
      // A shorter palette is announced by the colours-used field.
      const uint32_t used = readLe32(data + 46);
      if (used > 0 && used < layout.paletteEntries) layout.paletteEntries = used;
    }
    layout.rowBytes = static_cast<size_t>((bpp * layout.width + 7) / 8 + 3) / 4 * 4;
  }
  layout.pixelOffset = headerEnd + layout.paletteEntries * layout.paletteEntrySize;
  // Every row must lie inside the data.
  const uint64_t pixelBytes = static_cast<uint64_t>(layout.rowBytes) * layout.height;
  return layout.pixelOffset <= size && pixelBytes <= size - layout.pixelOffset;
}

// One channel of each blend; `shift` selects it. Integer division by 256.
inline uint32_t blendChannel(uint32_t s, uint32_t m, uint32_t d, int shift) {
  const uint32_t sc = s >> shift & 0xFF, mc = m >> shift & 0xFF, dc = d >> shift & 0xFF;
  return (mc * sc + (255 - mc) * dc) >> 8 << shift;  // at most 254: no limit needed
}

inline uint32_t addChannel(uint32_t s, uint32_t m, uint32_t d, int shift) {
  const uint32_t sc = s >> shift & 0xFF, mc = m >> shift & 0xFF, dc = d >> shift & 0xFF;
  return std::min<uint32_t>(255, (mc * sc + 255 * dc) >> 8) << shift;
}

inline uint32_t blendPixel(uint32_t s, uint32_t m, uint32_t d) {
  return blendChannel(s, m, d, 0) | blendChannel(s, m, d, 8) | blendChannel(s, m, d, 16);
}

inline uint32_t addPixel(uint32_t s, uint32_t m, uint32_t d) {
  return addChannel(s, m, d, 0) | addChannel(s, m, d, 8) | addChannel(s, m, d, 16);
}

// What resampleTo does with each pixel.
constexpr int kCopy = 0;
constexpr int kBlend = 1;
constexpr int kAdd = 2;

}  // namespace

Bitmap::Bitmap(const uint8_t* data, size_t size, int scale) : scale_(scale == 2 ? 2 : 1) {
  loadBmp(data, size);
}

Bitmap::Bitmap(int width, int height, int scale) : scale_(scale == 2 ? 2 : 1) {
  create(width, height);
}

Bitmap::~Bitmap() = default;

uint32_t* Bitmap::pixels() {
  return pixels_.get();
}

void Bitmap::pixelsChanged() {}

int Bitmap::stride() const {
  return width_ * scale_;
}

bool Bitmap::isValid() const {
  return pixels_ != nullptr;
}

int Bitmap::width() const {
  return width_;
}

int Bitmap::height() const {
  return height_;
}

bool Bitmap::create(int width, int height) {
  if (pixels_ || width < 1 || height < 1 || width > kMaxSide || height > kMaxSide ||
      int64_t{width} * height * scale_ * scale_ > kMaxPixels) {
    return false;
  }
  // Zeroed by calloc: a large buffer comes zeroed from the system and its pages are only
  // touched when drawn, which saves start-up a pass over every canvas and image.
  pixels_.reset(static_cast<uint32_t*>(
      std::calloc(static_cast<size_t>(width) * height * scale_ * scale_, sizeof(uint32_t))));
  if (!pixels_) return false;
  width_ = width;
  height_ = height;
  bounds_ = Rect{0, width, 0, height};
  return true;
}

void Bitmap::loadBmp(const uint8_t* data, size_t size) {
  BmpLayout layout;
  if (isValid() || !readLayout(data, size, layout)) return;
  // A fine image whose sides do not divide into panel pixels is taken as it is.
  if (layout.width % scale_ != 0 || layout.height % scale_ != 0) scale_ = 1;
  if (!create(static_cast<int>(layout.width / scale_), static_cast<int>(layout.height / scale_))) {
    return;
  }
  const int width = pixelWidth(), height = pixelHeight();

  uint32_t palette[256] = {};
  for (size_t i = 0; i < layout.paletteEntries; ++i) {
    const uint8_t* entry = data + layout.paletteOffset + i * layout.paletteEntrySize;
    palette[i] = rgb(entry[2], entry[1], entry[0]);
  }
  const uint32_t bpp = layout.bitsPerPixel;
  const uint32_t indexMask = (1u << (bpp > 8 ? 0 : bpp)) - 1;
  for (int row = 0; row < height; ++row) {
    // The first stored row is the bottom row of the image.
    const uint8_t* source = data + layout.pixelOffset + static_cast<size_t>(row) * layout.rowBytes;
    uint32_t* target = pixels_.get() + static_cast<size_t>(height - 1 - row) * width;
    if (bpp > 8) {
      for (int x = 0; x < width; ++x)
        target[x] = rgb(source[3 * x + 2], source[3 * x + 1], source[3 * x]);
      continue;
    }
    for (int x = 0; x < width; ++x) {
      const size_t bit = static_cast<size_t>(x) * bpp;
      const uint32_t shift = 8 - bpp - static_cast<uint32_t>(bit % 8);
      const uint32_t index = (source[bit / 8] >> shift) & indexMask;
      target[x] = index < layout.paletteEntries ? palette[index] : 0;
    }
  }
  pixelsChanged();
}

bool Bitmap::clip(int sourceWidth, int sourceHeight, int destinationWidth, int destinationHeight,
                  int& x, int& y, Rect& src) {
  // 64-bit throughout, so that no rectangle or position can overflow.
  int64_t l = src.left, r = src.right, t = src.top, b = src.bottom, dx = x, dy = y;
  if (t < 0) dy += t, t = 0;
  if (l < 0) dx += l, l = 0;
  r = std::min<int64_t>(r, sourceWidth);
  b = std::min<int64_t>(b, sourceHeight);
  if (dx < 0) l -= dx, dx = 0;
  if (dy < 0) t -= dy, dy = 0;
  if (l >= r || t >= b) return false;
  if (r - l > destinationWidth - dx) r = l + (destinationWidth - dx);
  if (b - t > destinationHeight - dy) b = t + (destinationHeight - dy);
  if (l >= r || t >= b) return false;
  src = Rect{static_cast<int32_t>(l), static_cast<int32_t>(r), static_cast<int32_t>(t),
             static_cast<int32_t>(b)};
  x = static_cast<int>(dx);
  y = static_cast<int>(dy);
  return true;
}

void Bitmap::copyTo(Bitmap* dst, int x, int y, const Rect* src) {
  if (!isValid() || dst == nullptr || !dst->isValid()) return;
  Rect r = src ? *src : bounds_;
  if (clip(width_, height_, dst->width(), dst->height(), x, y, r)) {
    if (dst->scale() != scale_) {
      resampleTo(dst, nullptr, x, y, r, kCopy);
    } else {
      const int s = scale_;
      const size_t count = static_cast<size_t>(r.right - r.left) * s;
      for (int row = r.top * s; row < r.bottom * s; ++row) {
        std::memmove(
            dst->pixels() + static_cast<size_t>(y * s + row - r.top * s) * dst->stride() + x * s,
            pixels_.get() + static_cast<size_t>(row) * stride() + r.left * s,
            count * sizeof(uint32_t));
      }
    }
  }
  pixelsChanged();
  dst->pixelsChanged();
}

void Bitmap::blendTo(Bitmap* dst, Bitmap* mask, int x, int y, const Rect* src, bool maskBlend) {
  if (!isValid() || dst == nullptr || !dst->isValid() || mask == nullptr || !mask->isValid() ||
      mask->width() != width_ || mask->height() != height_) {
    return;
  }
  Rect r = src ? *src : bounds_;
  if (clip(width_, height_, dst->width(), dst->height(), x, y, r)) {
    if (dst->scale() != scale_ || mask->scale() != scale_) {
      resampleTo(dst, mask, x, y, r, maskBlend ? kBlend : kAdd);
    } else {
      const int s = scale_;
      const int count = (r.right - r.left) * s;
      for (int row = r.top * s; row < r.bottom * s; ++row) {
        const size_t from = static_cast<size_t>(row) * stride() + r.left * s;
        const uint32_t* source = pixels_.get() + from;
        const uint32_t* m = mask->pixels() + from;
        uint32_t* d =
            dst->pixels() + static_cast<size_t>(y * s + row - r.top * s) * dst->stride() + x * s;
        if (maskBlend) {
          for (int i = 0; i < count; ++i) d[i] = blendPixel(source[i], m[i], d[i]);
        } else {
          for (int i = 0; i < count; ++i) d[i] = addPixel(source[i], m[i], d[i]);
        }
      }
    }
  }
  pixelsChanged();
  dst->pixelsChanged();
  mask->pixelsChanged();
}

void Bitmap::resampleTo(Bitmap* dst, Bitmap* mask, int x, int y, const Rect& r, int mode) {
  const int ds = dst->scale(), ss = scale_, ms = mask != nullptr ? mask->scale() : 1;
  const int width = (r.right - r.left) * ds, height = (r.bottom - r.top) * ds;
  for (int row = 0; row < height; ++row) {
    uint32_t* d = dst->pixels() + static_cast<size_t>(y * ds + row) * dst->stride() + x * ds;
    const int sy = r.top * ss + row * ss / ds, my = r.top * ms + row * ms / ds;
    for (int col = 0; col < width; ++col) {
      const uint32_t s = pixel(r.left * ss + col * ss / ds, sy);
      if (mode == kCopy) {
        d[col] = s;
        continue;
      }
      const uint32_t m = mask->pixel(r.left * ms + col * ms / ds, my);
      d[col] = mode == kBlend ? blendPixel(s, m, d[col]) : addPixel(s, m, d[col]);
    }
  }
}

void Bitmap::fill(int32_t value) {
  if (!isValid()) return;
  std::memset(pixels_.get(), value & 0xFF,
              static_cast<size_t>(pixelWidth()) * pixelHeight() * sizeof(uint32_t));
  pixelsChanged();
}

void Bitmap::setPixel(int x, int y, uint32_t value) {
  if (!isValid() || x < 0 || x >= width_ || y < 0 || y >= height_) return;
  for (int row = y * scale_; row < (y + 1) * scale_; ++row) {
    std::fill_n(pixels_.get() + static_cast<size_t>(row) * stride() + x * scale_, scale_, value);
  }
}

uint32_t Bitmap::pixel(int x, int y) const {
  if (!isValid() || x < 0 || x >= pixelWidth() || y < 0 || y >= pixelHeight()) return 0;
  return pixels_[static_cast<size_t>(y) * stride() + x];
}

}  // namespace velmora
