#include "control_panel/toolkit/font.h"

#include <algorithm>
#include <cmath>

namespace velmora {

Font::Font(Bitmap* image, int cellWidth)
    : image_(image), cellWidth_(std::clamp(cellWidth, 0, 127)) {
  measure(image);
}

Font::~Font() = default;

void Font::measure(Bitmap* image) {
  for (int code = kFirstChar; code < kFirstChar + kGlyphsPerRow * kRows; ++code) {
    const int g = code - kFirstChar;
    const int left = cellWidth_ * (g % kGlyphsPerRow), top = kCellHeight * (g / kGlyphsPerRow);
    int width = 0;
    // A fine glyph image lights a panel column when any of its pixels in that column is lit.
    const int s = image != nullptr ? image->scale() : 1;
    for (int w = cellWidth_; w > 0 && width == 0; --w) {
      for (int row = 0; row < kCellHeight * s && width == 0; ++row) {
        for (int sub = 0; sub < s; ++sub) {
          // Pixels beyond a too-small image read as unlit.
          if (image != nullptr && image->pixel((left + w - 1) * s + sub, top * s + row) != 0) {
            width = w;
            break;
          }
        }
      }
    }
    widths_[code] = static_cast<int8_t>(width);
  }
  widths_[kFirstChar] = static_cast<int8_t>(std::max(cellWidth_ - 2, 0));
  if (image != nullptr) image->pixelsChanged();
}

Rect Font::glyphRect(char c) const {
  const int g = static_cast<signed char>(c) - kFirstChar;
  const int left = cellWidth_ * (g % kGlyphsPerRow), top = kCellHeight * (g / kGlyphsPerRow);
  return Rect{left, left + widths_[static_cast<unsigned char>(c)], top, top + kCellHeight};
}

int Font::charWidth(char c) {
  return drawable(c) ? widths_[static_cast<unsigned char>(c)] + 1 : 0;
}

int Font::drawChar(Bitmap* dst, int x, int y, char c) {
  if (!drawable(c)) return 0;
  if (image_ != nullptr) {
    const Rect glyph = glyphRect(c);
    image_->copyTo(dst, x, y, &glyph);
  }
  return charWidth(c);
}

void Font::drawString(Bitmap* dst, int x, int y, const char* text) {
  if (text == nullptr) return;
  for (; *text != '\0'; ++text) x += drawChar(dst, x, y, *text);
}

int Font::textWidth(const char* text) {
  int width = 0;
  if (text == nullptr) return 0;
  for (; *text != '\0'; ++text) width += charWidth(*text);
  return width;
}

int Font::drawCharTinted(Bitmap* dst, int x, int y, char c, uint32_t ink, uint32_t paper,
                         float opacity) {
  if (!drawable(c)) return 0;
  Rect r = glyphRect(c);
  if (image_ != nullptr && image_->isValid() && dst != nullptr && dst->isValid() &&
      Bitmap::clip(image_->width(), image_->height(), dst->width(), dst->height(), x, y, r)) {
    // In the destination's pixels, each taking the glyph pixel at the same place.
    const int ds = dst->scale(), gs = image_->scale();
    for (int row = 0; row < (r.bottom - r.top) * ds; ++row) {
      for (int col = 0; col < (r.right - r.left) * ds; ++col) {
        const uint32_t g = image_->pixel(r.left * gs + col * gs / ds, r.top * gs + row * gs / ds);
        uint32_t* d =
            dst->pixels() + static_cast<size_t>(y * ds + row) * dst->stride() + (x * ds + col);
        uint32_t out = 0;
        for (int shift = 0; shift <= 16; shift += 8) {
          const int p = static_cast<int>(paper >> shift & 0xFF);
          const int i = static_cast<int>(ink >> shift & 0xFF);
          const int gc = static_cast<int>(g >> shift & 0xFF);
          const int dc = static_cast<int>(*d >> shift & 0xFF);
          const float value = static_cast<float>(p * 256 + (i - p) * gc) * opacity / 255.0f +
                              static_cast<float>(dc) * (1.0f - opacity);
          out |= static_cast<uint32_t>(std::clamp(static_cast<int>(std::trunc(value)), 0, 255))
                 << shift;
        }
        *d = out;
      }
    }
    dst->pixelsChanged();
  }
  return charWidth(c);
}

void Font::drawStringTinted(Bitmap* dst, int x, int y, const char* text, uint32_t ink,
                            uint32_t paper, float opacity) {
  if (text == nullptr || opacity < 0.0f) return;
  opacity = std::min(opacity, 1.0f);
  for (; *text != '\0'; ++text) x += drawCharTinted(dst, x, y, *text, ink, paper, opacity);
}

AlphaFont::AlphaFont(Bitmap* image, Bitmap* mask) : Font(image, 7), mask_(mask) {
  measure(mask);
}

int AlphaFont::drawChar(Bitmap* dst, int x, int y, char c) {
  if (dst == nullptr || mask_ == nullptr || image_ == nullptr) return 0;
  if (!drawable(c)) return 0;
  const Rect glyph = glyphRect(c);
  image_->blendTo(dst, mask_, x, y, &glyph, true);
  return charWidth(c);
}

}  // namespace velmora
