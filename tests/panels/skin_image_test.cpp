// The generator's canvas at twice the resolution: positions in panel pixels, shapes and
// lettering drawn finely.
#include <gtest/gtest.h>

#include <cmath>

#include "tools/skin/image.h"
#include "tools/skin/pixel_font.h"

namespace velmora::test {
namespace {

using skin::Image;

// Red channel of pixel (x, y) of the pixel memory, 0…255.
int red(const Image& image, int x, int y) {
  return static_cast<int>(std::lround(image.at(x, y).r * 255.0f));
}

TEST(SkinImage, AtScaleTwoEveryPanelPixelIsTwoByTwo) {
  const skin::ScaleScope scope(2);
  Image image(3, 2, skin::rgb(0x000000));
  EXPECT_EQ(image.width(), 3);
  EXPECT_EQ(image.height(), 2);
  EXPECT_EQ(image.pixelWidth(), 6);
  EXPECT_EQ(image.pixelHeight(), 4);
  image.fillRect(1, 0, 2, 1, skin::rgb(0xFFFFFF));
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 6; ++x) {
      EXPECT_EQ(red(image, x, y), x >= 2 && x < 4 && y < 2 ? 255 : 0) << x << "," << y;
    }
  }
}

TEST(SkinImage, WithoutAScopeImagesAreAtScaleOne) {
  { const skin::ScaleScope scope(2); }
  EXPECT_EQ(Image(3, 2).pixelWidth(), 3);
}

// '-' is row 3 of its 5 × 7 glyph, all five columns. At ×2 it is a stroke of a round pen
// 0.84 panel pixels wide along the row's centre (y = 3.5): of the 4 × 4 samples of each fine
// pixel of rows 6 and 7, the row of samples 0.4375 from the centre lies outside the pen, so
// each is 3/4 covered (191); rows 5 and 8 and the fine column past the glyph (x = 10) are
// untouched.
TEST(SkinImage, FineLetteringStrokesThePixelsOfTheGlyphWithinItsColumns) {
  const skin::ScaleScope scope(2);
  Image image(7, 9, skin::rgb(0x000000));
  skin::drawText(image, 0, 0, "-", skin::rgb(0xFFFFFF));
  for (const int x : {2, 4, 6}) {
    EXPECT_EQ(red(image, x, 6), 191) << x;
    EXPECT_EQ(red(image, x, 7), 191) << x;
    EXPECT_EQ(red(image, x, 5), 0) << x;
    EXPECT_EQ(red(image, x, 8), 0) << x;
  }
  for (int y = 0; y < image.pixelHeight(); ++y) EXPECT_EQ(red(image, 10, y), 0) << y;
}

}  // namespace
}  // namespace velmora::test
