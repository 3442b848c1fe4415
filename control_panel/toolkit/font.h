// Bitmap fonts: glyphs for codes 32…131 in a grid image of 20 × 5 cells, each cellWidth × 7
// pixels, code 32 at the top left. A glyph's width is measured from its lit columns; it
// advances by width + 1. Characters outside 32…127 draw nothing and advance 0.
//
// The glyph image (and an AlphaFont's mask) belong to the caller, usually the named-image
// cache, and must outlive the font.
//
// Font: a bitmap font drawn straight from its glyph image.
// AlphaFont: a bitmap font drawn through a mask, for smooth labels on any background.
#pragma once

#include <cstdint>

#include "control_panel/toolkit/bitmap.h"

namespace velmora {

class Font {
 public:
  // Measures the glyphs of `image`; `cellWidth` is 7 for labels, 5 for the text box.
  Font(Bitmap* image, int cellWidth);
  virtual ~Font();
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  // Sets every glyph width from the lit columns of the glyph cells of `image`; the space
  // gets cellWidth − 2.
  virtual void measure(Bitmap* image);
  // Copies the glyph to (x, y) of `dst`; returns the advance.
  virtual int drawChar(Bitmap* dst, int x, int y, char c);
  virtual void drawString(Bitmap* dst, int x, int y, const char* text);
  // Sum of the advances of the drawable characters.
  virtual int textWidth(const char* text);
  virtual int charWidth(char c);
  // Draws the glyph as ink on paper (glyph brightness selects between them), laid over `dst`
  // with `opacity`; returns the advance even when clipped away.
  virtual int drawCharTinted(Bitmap* dst, int x, int y, char c, uint32_t ink, uint32_t paper,
                             float opacity);
  // Nothing when opacity < 0; opacity above 1 counts as 1.
  virtual void drawStringTinted(Bitmap* dst, int x, int y, const char* text, uint32_t ink,
                                uint32_t paper, float opacity);

  // The measured width of the glyph of `code` (without the spacing pixel).
  int glyphWidth(unsigned char code) const { return widths_[code]; }
  int cellWidth() const { return cellWidth_; }

 protected:
  static constexpr int kFirstChar = 32;
  static constexpr int kCellHeight = 7;
  static constexpr int kGlyphsPerRow = 20;
  static constexpr int kRows = 5;

  static bool drawable(char c) {
    const int code = static_cast<signed char>(c);
    return code >= kFirstChar && code <= kFirstChar + kGlyphsPerRow * kRows;
  }
  // The glyph's rectangle in the glyph image, `glyphWidth` wide.
  Rect glyphRect(char c) const;

  Bitmap* image_;
  int cellWidth_;
  int8_t widths_[256] = {};
};

// A font drawn through a mask of the glyph image's size: anti-aliased labels on any
// background. Glyph widths come from the mask.
class AlphaFont : public Font {
 public:
  AlphaFont(Bitmap* image, Bitmap* mask);

  int drawChar(Bitmap* dst, int x, int y, char c) override;

 private:
  Bitmap* mask_;
};

}  // namespace velmora
