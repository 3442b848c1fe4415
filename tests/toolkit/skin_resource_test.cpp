// The skin the program carries: resource "PAL" 105, an archive of the 80 images in directory
// order, each a 24-bit BMP at its size.
#include <gtest/gtest.h>

#include <cstring>

#include "control_panel/toolkit/font.h"
#include "control_panel/toolkit/named_bitmap.h"
#include "control_panel/toolkit/skin_archive.h"
#include "platform/resources.h"
#include "tools/skin/skin_manifest.h"

namespace velmora {
namespace {

struct SkinResourceTest : ::testing::Test {
  SkinResourceTest() {
    const auto resource = platform::findResource("PAL", 105);
    if (resource) loadArchive(resource->data(), resource->size());
  }
  ~SkinResourceTest() override {
    releaseNamedBitmaps();
    loadArchive(nullptr, 0);
  }
};

TEST_F(SkinResourceTest, HoldsTheEightyImagesInDirectoryOrderAtTheirSizes) {
  ASSERT_EQ(archiveEntryCount(), 80);
  for (int i = 0; i < 80; ++i) {
    const skin::SkinImage& expected = skin::kSkinImages[static_cast<size_t>(i)];
    EXPECT_STREQ(archiveEntryName(i), expected.name);
    const ArchiveData data = findEntry(expected.name);
    ASSERT_NE(data.data, nullptr) << expected.name;
    ASSERT_GE(data.length, 54u);
    EXPECT_EQ(data.data[14], 40) << expected.name;  // information header
    EXPECT_EQ(data.data[28], 24) << expected.name;  // bits per pixel
    NamedBitmap* image = getNamedBitmap(expected.name);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width(), expected.width) << expected.name;
    EXPECT_EQ(image->height(), expected.height) << expected.name;
  }
}

TEST_F(SkinResourceTest, SizesTheDrawingCodeDependsOn) {
  const struct {
    const char* name;
    int width, height;
  } cases[] = {{"Background.bmp", 704, 394},    {"BackgroundShrink.bmp", 456, 373},
               {"BackgroundAC3.bmp", 405, 344}, {"ConnectionLost.bmp", 300, 56},
               {"font.bmp", 140, 35},           {"FontMask.bmp", 140, 35},
               {"KnobRotation.bmp", 579, 19},   {"KnobTrackRotation.bmp", 783, 23},
               {"KnobTrackMask2.bmp", 783, 23}, {"FaderCover.bmp", 359, 194},
               {"GrayLed.bmp", 5, 5},           {"ButtonLitMask.bmp", 15, 15}};
  for (const auto& c : cases) {
    NamedBitmap* image = getNamedBitmap(c.name);
    ASSERT_NE(image, nullptr) << c.name;
    EXPECT_EQ(image->width(), c.width) << c.name;
    EXPECT_EQ(image->height(), c.height) << c.name;
  }
}

TEST_F(SkinResourceTest, GlyphGridMeasuresLikeAFont) {
  AlphaFont font(getNamedBitmap("font.bmp"), getNamedBitmap("FontMask.bmp"));
  EXPECT_EQ(font.glyphWidth(' '), 5);
  EXPECT_EQ(font.glyphWidth('A'), 5);
  EXPECT_EQ(font.glyphWidth('i'), 3);
  EXPECT_EQ(font.glyphWidth('.'), 2);
  EXPECT_GT(font.textWidth("Velmora PRO 192"), 60);
}

// Resource "PAL" 106: the same 80 images at twice the resolution, measuring the same.
TEST_F(SkinResourceTest, TheDoubleSkinHoldsEveryImageAtTwiceItsSizeAndItsFontMeasuresAlike) {
  const auto fine = platform::findResource("PAL", 106);
  ASSERT_TRUE(fine);
  loadDoubleArchive(fine->data(), fine->size());
  for (const skin::SkinImage& expected : skin::kSkinImages) {
    const ArchiveData data = getArchiveData(expected.name);
    ASSERT_NE(data.data, nullptr) << expected.name;
    EXPECT_EQ(data.scale, 2) << expected.name;
    NamedBitmap* image = getNamedBitmap(expected.name);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->scale(), 2) << expected.name;
    EXPECT_EQ(image->width(), expected.width) << expected.name;
    EXPECT_EQ(image->pixelHeight(), 2 * expected.height) << expected.name;
  }
  // The widths of the ×1 glyph grid (above): text takes the same room at ×2.
  AlphaFont font(getNamedBitmap("font.bmp"), getNamedBitmap("FontMask.bmp"));
  EXPECT_EQ(font.glyphWidth(' '), 5);
  EXPECT_EQ(font.glyphWidth('A'), 5);
  EXPECT_EQ(font.glyphWidth('i'), 3);
  EXPECT_EQ(font.glyphWidth('.'), 2);
  loadDoubleArchive(nullptr, 0);
}

}  // namespace
}  // namespace velmora
