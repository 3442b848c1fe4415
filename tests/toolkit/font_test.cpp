#include "control_panel/toolkit/font.h"

#include <gtest/gtest.h>

#include "tests/toolkit/skin_fixtures.h"

namespace velmora {
namespace {

using test::paint;

// A 140 × 35 glyph grid (cells of 7 × 7) with a few lit columns.
struct FontTest : ::testing::Test {
  FontTest() {
    light('A', 2);  // only the third column: width 3
    light('B', 0);  // width 1
    light('B', 6);  // width 7
    light(' ', 3);  // the space is always cellWidth - 2
    light('~', 4);
  }
  // Lights column `column` of the cell of `c`, one pixel per row, brightness by row.
  void light(char c, int column) {
    const int g = c - 32;
    for (int row = 0; row < 7; ++row) {
      glyphs.setPixel(7 * (g % 20) + column, 7 * (g / 20) + row, 0x010101u * (row + 1) * 30);
    }
  }
  Bitmap glyphs{140, 35};
};

TEST_F(FontTest, MeasuresWidthsFromTheLastLitColumn) {
  Font font(&glyphs, 7);
  const struct {
    char c;
    int width;
  } cases[] = {{'A', 3}, {'B', 7}, {' ', 5}, {'~', 5}, {'C', 0}, {'\x7F', 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(font.glyphWidth(static_cast<unsigned char>(c.c)), c.width) << c.c;
    EXPECT_EQ(font.charWidth(c.c), c.width + 1) << c.c;
  }
  EXPECT_EQ(Font(&glyphs, 5).glyphWidth(' '), 3);
}

TEST_F(FontTest, TextWidthSkipsCharactersOutsideTheGrid) {
  Font font(&glyphs, 7);
  EXPECT_EQ(font.textWidth("AB"), 4 + 8);
  EXPECT_EQ(font.textWidth("A\xC8"
                           "A"),
            8);  // code 200
  EXPECT_EQ(font.textWidth("A\nA"), 8);
  EXPECT_EQ(font.charWidth('\xC8'), 0);
  EXPECT_EQ(font.textWidth(""), 0);
}

TEST_F(FontTest, DrawStringCopiesGlyphsAndAdvances) {
  Font font(&glyphs, 7);
  Bitmap target(20, 7);
  paint(target, 0x0000FF);
  font.drawString(&target, 1, 0, "AA");
  // 'A' is 3 wide: columns 1..3 and 5..7 are copied, column 3 and 7 hold the lit pixels.
  EXPECT_EQ(target.pixel(3, 0), 0x1E1E1Eu);
  EXPECT_EQ(target.pixel(7, 6), 0xD2D2D2u);
  EXPECT_EQ(target.pixel(1, 0), 0u);         // copied, unlit
  EXPECT_EQ(target.pixel(4, 0), 0x0000FFu);  // the spacing pixel is left alone
  EXPECT_EQ(font.drawChar(&target, 0, 0, '\xC8'), 0);
}

TEST_F(FontTest, AlphaFontMeasuresTheMaskAndBlendsThroughIt) {
  Bitmap mask(140, 35);
  const int g = 'C' - 32;
  for (int row = 0; row < 7; ++row) mask.setPixel(7 * (g % 20) + 1, 7 * (g / 20) + row, 0xFFFFFF);
  paint(glyphs, 0xFF0000);
  AlphaFont font(&glyphs, &mask);
  EXPECT_EQ(font.glyphWidth('C'), 2);
  EXPECT_EQ(font.glyphWidth('A'), 0);  // lit in the image, not in the mask

  Bitmap target(4, 7);
  paint(target, 0x0000FF);
  EXPECT_EQ(font.drawChar(&target, 0, 0, 'C'), 3);
  EXPECT_EQ(target.pixel(0, 3), 0x0000FEu);  // mask black: destination kept
  EXPECT_EQ(target.pixel(1, 3), 0xFE0000u);  // mask white: glyph shown
  EXPECT_EQ(font.drawChar(nullptr, 0, 0, 'C'), 0);
}

TEST_F(FontTest, TintedGlyphsMixInkAndPaperByBrightness) {
  Bitmap grid(140, 35);
  const int g = 'A' - 32;
  const int left = 7 * (g % 20), top = 7 * (g / 20);
  grid.setPixel(left + 0, top, 0x000000);
  grid.setPixel(left + 1, top, 0xFFFFFF);
  grid.setPixel(left + 2, top, 0x808080);
  Font font(&grid, 7);
  const struct {
    float opacity;
    uint32_t paper, ink, under;
    uint32_t expected[3];
  } cases[] = {
      {1.0f, 0x000000, 0xFFFFFF, 0x123456, {0x000000, 0xFFFFFF, 0x808080}},
      {1.0f, 0xFFFFFF, 0x000000, 0x123456, {0xFFFFFF, 0x010101, 0x808080}},
      {0.5f, 0x000000, 0xFFFFFF, 0x804020, {0x402010, 0xBF9F8F, 0x806050}},
      {2.0f, 0x000000, 0xFFFFFF, 0x123456, {0x000000, 0xFFFFFF, 0x808080}},  // taken as 1
  };
  for (const auto& c : cases) {
    Bitmap target(3, 1);
    paint(target, c.under);
    font.drawStringTinted(&target, 0, 0, "A", c.ink, c.paper, c.opacity);
    for (int x = 0; x < 3; ++x) {
      EXPECT_EQ(target.pixel(x, 0), c.expected[x]) << "opacity " << c.opacity << " x " << x;
    }
  }
  Bitmap untouched(3, 1);
  paint(untouched, 0x123456);
  font.drawStringTinted(&untouched, 0, 0, "A", 0xFFFFFF, 0, -0.1f);
  EXPECT_EQ(untouched.pixel(1, 0), 0x123456u);
  EXPECT_EQ(font.drawCharTinted(&untouched, 50, 0, 'A', 0xFFFFFF, 0, 1.0f), 4);  // clipped away
}

TEST(Font, ToleratesAMissingOrTooSmallGlyphImage) {
  Bitmap small(10, 3);
  paint(small, 0xFFFFFF);
  Font font(&small, 7);
  EXPECT_EQ(font.glyphWidth('!'), 3);  // columns 7..9 exist, rows 0..2
  EXPECT_EQ(font.glyphWidth('#'), 0);
  Font none(nullptr, 7);
  Bitmap target(5, 5);
  EXPECT_EQ(none.drawChar(&target, 0, 0, 'A'), 1);
  EXPECT_EQ(none.textWidth(" "), 6);
}

}  // namespace
}  // namespace velmora
