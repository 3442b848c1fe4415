// Bitmaps of the ×2 skin: two pixels a side per panel pixel, every position in panel pixels.
#include <gtest/gtest.h>

#include <vector>

#include "control_panel/toolkit/bitmap.h"
#include "control_panel/toolkit/font.h"
#include "tests/toolkit/skin_fixtures.h"
#include "tools/skin/bmp_encoder.h"

namespace velmora {
namespace {

// Pixel (x, y) of the pixel memory is 0x00yyxx, so every copied pixel tells where it came from.
Bitmap& finePixelsNumbered(Bitmap& bitmap) {
  for (int y = 0; y < bitmap.pixelHeight(); ++y) {
    for (int x = 0; x < bitmap.pixelWidth(); ++x)
      bitmap.pixels()[y * bitmap.stride() + x] = static_cast<uint32_t>(y << 8 | x);
  }
  return bitmap;
}

// The pixel memory, row after row.
std::vector<uint32_t> rows(Bitmap& bitmap) {
  return {bitmap.pixels(), bitmap.pixels() + bitmap.pixelWidth() * bitmap.pixelHeight()};
}

TEST(BitmapScale, SizesStayInPanelPixelsAndThePixelMemoryIsTwiceAsFine) {
  Bitmap bitmap(3, 2, 2);
  ASSERT_TRUE(bitmap.isValid());
  EXPECT_EQ(bitmap.width(), 3);
  EXPECT_EQ(bitmap.height(), 2);
  EXPECT_EQ(bitmap.bounds(), (Rect{0, 3, 0, 2}));
  EXPECT_EQ(bitmap.scale(), 2);
  EXPECT_EQ(bitmap.pixelWidth(), 6);
  EXPECT_EQ(bitmap.pixelHeight(), 4);
  EXPECT_EQ(bitmap.stride(), 6);
  // One panel pixel set is its 2 × 2 block.
  bitmap.setPixel(1, 1, 0xABCDEF);
  EXPECT_EQ(rows(bitmap), (std::vector<uint32_t>{0, 0, 0,        0,        0, 0,  //
                                                 0, 0, 0,        0,        0, 0,  //
                                                 0, 0, 0xABCDEF, 0xABCDEF, 0, 0,
                                                 0, 0, 0xABCDEF, 0xABCDEF, 0, 0}));
  EXPECT_FALSE(Bitmap(20000, 2000, 2).isValid()) << "2^26 pixels at most, counted finely";
}

TEST(BitmapScale, ACopyClipsInPanelPixelsAndMovesWholeBlocks) {
  Bitmap source(3, 2, 2), target(2, 2, 2);
  finePixelsNumbered(source);
  // x = -1: the source from panel column 1 on lands at column 0 (fine columns 2… at 0…).
  source.copyTo(&target, -1, 1, nullptr);
  EXPECT_EQ(rows(target), (std::vector<uint32_t>{0, 0, 0, 0,  //
                                                 0, 0, 0, 0,  //
                                                 0x0002, 0x0003, 0x0004, 0x0005, 0x0102, 0x0103,
                                                 0x0104, 0x0105}));
}

TEST(BitmapScale, CopiesBetweenScalesRepeatOrDropPixels) {
  Bitmap coarse(2, 1), fine(2, 1, 2);
  coarse.setPixel(0, 0, 0xA);
  coarse.setPixel(1, 0, 0xB);
  coarse.copyTo(&fine, 0, 0, nullptr);
  EXPECT_EQ(rows(fine), (std::vector<uint32_t>{0xA, 0xA, 0xB, 0xB, 0xA, 0xA, 0xB, 0xB}));

  Bitmap numbered(2, 1, 2), back(2, 1);
  finePixelsNumbered(numbered);
  numbered.copyTo(&back, 0, 0, nullptr);
  EXPECT_EQ(rows(back), (std::vector<uint32_t>{0x0000, 0x0002})) << "the top left of each block";
}

TEST(BitmapScale, ABlendReadsTheMaskPixelByFinePixel) {
  Bitmap source(1, 1, 2), mask(1, 1, 2), target(1, 1, 2);
  test::paint(source, 0xFFFFFF);
  mask.pixels()[0] = 0xFFFFFF;  // only the top-left fine pixel shows the source
  source.blendTo(&target, &mask, 0, 0, nullptr, true);
  // (255·255 + 0·0) / 256 = 254 in each channel.
  EXPECT_EQ(rows(target), (std::vector<uint32_t>{0xFEFEFE, 0, 0, 0}));
}

TEST(BitmapScale, ABmpAtScaleTwoIsTakenAsTwoPixelsAPanelPixelWhenItsSidesAreEven) {
  const struct {
    int fileWidth, fileHeight;
    int width, height, scale;
  } cases[] = {{4, 2, 2, 1, 2}, {3, 2, 3, 2, 1}, {4, 3, 4, 3, 1}};
  for (const auto& c : cases) {
    const std::vector<uint8_t> file = test::solidBmp(c.fileWidth, c.fileHeight, 0x123456);
    Bitmap bitmap(file.data(), file.size(), 2);
    ASSERT_TRUE(bitmap.isValid()) << c.fileWidth << "x" << c.fileHeight;
    EXPECT_EQ(bitmap.width(), c.width) << c.fileWidth << "x" << c.fileHeight;
    EXPECT_EQ(bitmap.height(), c.height) << c.fileWidth << "x" << c.fileHeight;
    EXPECT_EQ(bitmap.scale(), c.scale) << c.fileWidth << "x" << c.fileHeight;
    EXPECT_EQ(bitmap.pixel(c.fileWidth - 1, c.fileHeight - 1), 0x123456u);
  }
}

TEST(BitmapScale, AFineGlyphMeasuresByThePanelColumnsItLights) {
  // Glyph 'A' (code 65, cell 33: column 13, row 1 of the grid) lit only in the right half of
  // its third panel column: width 3, as the same glyph at ×1.
  Bitmap grid(140, 35, 2);
  const int fineX = 2 * (13 * 7 + 2) + 1, fineY = 2 * (1 * 7 + 3);
  grid.pixels()[fineY * grid.stride() + fineX] = 0xFFFFFF;
  Font font(&grid, 7);
  EXPECT_EQ(font.glyphWidth('A'), 3);
  EXPECT_EQ(font.charWidth('A'), 4);
  EXPECT_EQ(font.glyphWidth('B'), 0);
}

TEST(BitmapScale, TintedTextLandsInTheFinePixelsOfItsPanelPosition) {
  Bitmap grid(140, 35, 2);
  // '!' (code 33, cell 1 at panel column 7): one lit fine pixel, the bottom right of its
  // first panel pixel.
  grid.pixels()[1 * grid.stride() + 2 * 7 + 1] = 0xFFFFFF;
  Font font(&grid, 7);
  ASSERT_EQ(font.glyphWidth('!'), 1);
  Bitmap target(3, 1, 2);
  font.drawCharTinted(&target, 1, 0, '!', 0xFFFFFF, 0x000000, 1.0f);
  // ink 255 over paper 0: (0·256 + 255·255)/255 = 255 where the glyph is lit, paper elsewhere.
  EXPECT_EQ(rows(target), (std::vector<uint32_t>{0, 0, 0, 0, 0, 0,  //
                                                 0, 0, 0, 0xFFFFFF, 0, 0}));
}

}  // namespace
}  // namespace velmora
