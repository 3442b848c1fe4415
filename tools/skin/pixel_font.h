// The panel's lettering: a 5 × 7 pixel font for the printable ASCII characters, used for the
// labels printed on the panel backgrounds and for the glyph grid images.
#pragma once

#include <string_view>

#include "tools/skin/image.h"

namespace velmora::skin {

// Whether pixel (column, row) of the glyph of `c` is set (columns 0…4, rows 0…6).
bool glyphPixel(char c, int column, int row);
// Columns the glyph uses, from the left (at least 1 for drawable characters; 3 for space).
int glyphWidth(char c);

enum class Weight { kRegular, kBold };

// Pixels `text` takes: glyph widths plus one pixel between letters (two when bold).
int textWidth(std::string_view text, Weight weight = Weight::kRegular);

// Draws `text` with its top left at (x, y).
void drawText(Image& image, int x, int y, std::string_view text, Colour colour,
              Weight weight = Weight::kRegular, float opacity = 1.0f);

// Centred on x.
void drawTextCentred(Image& image, int x, int y, std::string_view text, Colour colour,
                     Weight weight = Weight::kRegular, float opacity = 1.0f);

// Rotated a quarter turn counter-clockwise (reads bottom to top), starting at the bottom left
// (x, y).
void drawTextUp(Image& image, int x, int y, std::string_view text, Colour colour,
                float opacity = 1.0f);

}  // namespace velmora::skin
