#include "control_panel/toolkit/bitmap.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "tests/toolkit/skin_fixtures.h"

namespace velmora {
namespace {

using test::paint;
using test::solidBmp;

// A source whose pixel (x, y) is 0x00yyxx, so every copied pixel tells where it came from.
Bitmap& coordinates(Bitmap& bitmap) {
  for (int y = 0; y < bitmap.height(); ++y) {
    for (int x = 0; x < bitmap.width(); ++x)
      bitmap.setPixel(x, y, static_cast<uint32_t>(y << 8 | x));
  }
  return bitmap;
}

TEST(Bitmap, CreateRefusesImpossibleSizes) {
  const struct {
    int width, height;
    bool valid;
  } cases[] = {
      {1, 1, true}, {0, 5, false}, {5, -1, false}, {40000, 1, false}, {20000, 20000, false}};
  for (const auto& c : cases) {
    Bitmap bitmap(c.width, c.height);
    EXPECT_EQ(bitmap.isValid(), c.valid) << c.width << "x" << c.height;
    if (c.valid) {
      EXPECT_EQ(bitmap.bounds(), (Rect{0, c.width, 0, c.height}));
      EXPECT_EQ(bitmap.stride(), c.width);
    }
  }
}

TEST(Bitmap, FillSetsEveryByteToTheLowByte) {
  const struct {
    int32_t value;
    uint32_t pixel;
  } cases[] = {{0, 0}, {0xFFFFFF, 0xFFFFFFFF}, {-1, 0xFFFFFFFF}, {0x12345678, 0x78787878}};
  for (const auto& c : cases) {
    Bitmap bitmap(3, 2);
    bitmap.fill(c.value);
    EXPECT_EQ(bitmap.pixel(2, 1), c.pixel) << c.value;
  }
}

TEST(Bitmap, SetPixelIgnoresPointsOutside) {
  Bitmap bitmap(2, 2);
  for (auto [x, y] : {std::pair{-1, 0}, {2, 0}, {0, -1}, {0, 2}}) bitmap.setPixel(x, y, 7);
  bitmap.setPixel(1, 1, 7);
  EXPECT_EQ(bitmap.pixel(1, 1), 7u);
  EXPECT_EQ(bitmap.pixel(0, 0) + bitmap.pixel(1, 0) + bitmap.pixel(0, 1), 0u);
}

struct CopyCase {
  const char* what;
  int x, y;
  Rect src;
  Point firstTarget;  // where the first copied pixel lands, or {-1,-1} for nothing
  Point firstSource;  // which source pixel it is
  int copiedWidth, copiedHeight;
};

class CopyTest : public ::testing::TestWithParam<CopyCase> {};

TEST_P(CopyTest, ClipsAgainstBothImages) {
  const CopyCase& c = GetParam();
  Bitmap source(10, 6), target(8, 5);
  coordinates(source);
  paint(target, 0xABCDEF);
  source.copyTo(&target, c.x, c.y, &c.src);
  int copied = 0;
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 8; ++x) copied += target.pixel(x, y) != 0xABCDEF;
  }
  EXPECT_EQ(copied, c.copiedWidth * c.copiedHeight) << c.what;
  if (copied > 0) {
    const Point t = c.firstTarget, s = c.firstSource;
    EXPECT_EQ(target.pixel(t.x, t.y), static_cast<uint32_t>(s.y << 8 | s.x)) << c.what;
    EXPECT_EQ(target.pixel(t.x + c.copiedWidth - 1, t.y + c.copiedHeight - 1),
              static_cast<uint32_t>((s.y + c.copiedHeight - 1) << 8 | (s.x + c.copiedWidth - 1)))
        << c.what;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Clipping, CopyTest,
    ::testing::Values(
        CopyCase{"whole, clipped by the target", 0, 0, {0, 10, 0, 6}, {0, 0}, {0, 0}, 8, 5},
        CopyCase{"x = -5 starts at source column 5", -5, 0, {0, 10, 0, 6}, {0, 0}, {5, 0}, 5, 5},
        CopyCase{"y = -2", 1, -2, {0, 3, 0, 6}, {1, 0}, {0, 2}, 3, 4},
        CopyCase{
            "negative source top moves the target up", 2, 3, {1, 4, -2, 2}, {2, 1}, {1, 0}, 3, 2},
        CopyCase{"negative source left moves the target left",
                 3,
                 0,
                 {-2, 2, 0, 1},
                 {1, 0},
                 {0, 0},
                 2,
                 1},
        CopyCase{"source rectangle beyond the source", 0, 0, {8, 20, 4, 20}, {0, 0}, {8, 4}, 2, 2},
        CopyCase{"right edge", 6, 4, {0, 5, 0, 5}, {6, 4}, {0, 0}, 2, 1},
        CopyCase{"beyond the target", 8, 0, {0, 5, 0, 5}, {-1, -1}, {0, 0}, 0, 0},
        CopyCase{"empty rectangle", 0, 0, {3, 3, 0, 5}, {-1, -1}, {0, 0}, 0, 0}),
    [](const auto& info) { return std::to_string(info.index); });

TEST(Bitmap, CopyFromOrToAnInvalidBitmapDoesNothing) {
  Bitmap valid(2, 2), invalid;
  paint(valid, 5);
  invalid.copyTo(&valid, 0, 0);
  valid.copyTo(&invalid, 0, 0);
  valid.copyTo(nullptr, 0, 0);
  EXPECT_EQ(valid.pixel(0, 0), 5u);
  EXPECT_FALSE(invalid.isValid());
}

TEST(Bitmap, BlendUsesTheMaskAsPerChannelAlpha) {
  const struct {
    uint32_t source, destination, mask;
    bool maskBlend;
    uint32_t out;
  } cases[] = {
      {0x204060, 0x102030, 0xFFFFFF, true, 0x1F3F5F},   // (255·S)/256
      {0x204060, 0x102030, 0x000000, true, 0x0F1F2F},   // (255·D)/256
      {0xFF0000, 0x0000FF, 0x80FF00, true, 0x7F00FE},   // channels apart
      {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, false, 0xFFFFFF},  // additive saturates
      {0x808080, 0x808080, 0x808080, false, 0xBFBFBF},
      {0x12345678, 0, 0xFFFFFF, true, 0x335577},  // top byte cleared
  };
  for (const auto& c : cases) {
    Bitmap source(1, 1), target(1, 1), mask(1, 1);
    source.setPixel(0, 0, c.source);
    target.setPixel(0, 0, c.destination);
    mask.setPixel(0, 0, c.mask);
    source.blendTo(&target, &mask, 0, 0, nullptr, c.maskBlend);
    EXPECT_EQ(target.pixel(0, 0), c.out) << std::hex << c.source << " " << c.mask;
  }
}

TEST(Bitmap, BlendWithAMaskOfAnotherSizeChangesNothing) {
  Bitmap source(4, 4), target(4, 4), mask(4, 3);
  paint(source, 0xFFFFFF);
  paint(mask, 0xFFFFFF);
  source.blendTo(&target, &mask, 0, 0, nullptr, true);
  EXPECT_EQ(target.pixel(0, 0), 0u);
}

TEST(Bitmap, BlendClipsLikeCopyAndReadsTheMaskAtTheSourcePosition) {
  Bitmap source(4, 1), target(4, 1), mask(4, 1);
  paint(source, 0xFFFFFF);
  mask.setPixel(2, 0, 0xFFFFFF);  // only source column 2 shows
  source.blendTo(&target, &mask, -2, 0, nullptr, true);
  EXPECT_EQ(target.pixel(0, 0), 0xFEFEFEu);
  EXPECT_EQ(target.pixel(1, 0), 0u);
}

// BMP files built byte by byte: header size 12 or 40, any depth, a palette and packed rows.
std::vector<uint8_t> bmpFile(int headerSize, int width, int height, int bpp,
                             const std::vector<uint32_t>& palette,
                             const std::vector<std::vector<uint8_t>>& rowsBottomUp) {
  std::vector<uint8_t> out(14 + headerSize, 0);
  auto put = [&](size_t at, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out[at + i] = static_cast<uint8_t>(value >> (8 * i));
  };
  out[0] = 'B';
  out[1] = 'M';
  put(14, static_cast<uint32_t>(headerSize), 4);
  if (headerSize == 12) {
    put(18, width, 2), put(20, height, 2), put(22, 1, 2), put(24, bpp, 2);
  } else {
    put(18, width, 4), put(22, height, 4), put(26, 1, 2), put(28, bpp, 2);
  }
  for (uint32_t colour : palette) {
    out.push_back(colour & 0xFF), out.push_back(colour >> 8 & 0xFF), out.push_back(colour >> 16);
    if (headerSize == 40) out.push_back(0);
  }
  for (const auto& row : rowsBottomUp) out.insert(out.end(), row.begin(), row.end());
  return out;
}

TEST(BitmapLoadBmp, DecodesEveryDepthBottomUp) {
  const std::vector<uint32_t> four = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  std::vector<uint32_t> sixteen(16), all(256);
  for (uint32_t i = 0; i < 16; ++i) sixteen[i] = i * 0x111111;
  for (uint32_t i = 0; i < 256; ++i) all[i] = i << 8;
  const struct {
    const char* what;
    std::vector<uint8_t> file;
    std::vector<uint32_t> topRow, bottomRow;  // 3 pixels each
  } cases[] = {
      {"1 bit",
       bmpFile(40, 3, 2, 1, {0x000000, 0xFFFFFF}, {{0xA0, 0, 0, 0}, {0x60, 0, 0, 0}}),
       {0, 0xFFFFFF, 0xFFFFFF},
       {0xFFFFFF, 0, 0xFFFFFF}},
      {"2 bits",
       bmpFile(40, 3, 2, 2, four, {{0x1B, 0, 0, 0}, {0xE4, 0, 0, 0}}),
       {0x0000FF, 0x00FF00, 0xFF0000},
       {0, 0xFF0000, 0x00FF00}},
      {"4 bits",
       bmpFile(40, 3, 2, 4, sixteen, {{0x12, 0x30, 0, 0}, {0xFE, 0xD0, 0, 0}}),
       {0xFFFFFF, 0xEEEEEE, 0xDDDDDD},
       {0x111111, 0x222222, 0x333333}},
      {"8 bits",
       bmpFile(40, 3, 2, 8, all, {{1, 2, 3, 0}, {250, 251, 252, 0}}),
       {0xFA00, 0xFB00, 0xFC00},
       {0x100, 0x200, 0x300}},
      {"24 bits",
       bmpFile(40, 3, 2, 24, {},
               {{1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0}, {9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 0, 0}}),
       {0x070809, 0x040506, 0x010203},
       {0x030201, 0x060504, 0x090807}},
      {"12-byte header, 24 bits",
       bmpFile(12, 3, 2, 24, {},
               {{1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0}, {9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 0, 0}}),
       {0x070809, 0x040506, 0x010203},
       {0x030201, 0x060504, 0x090807}},
      {"12-byte header, palette of triples",
       bmpFile(12, 3, 2, 1, {0x102030, 0x405060}, {{0x20, 0, 0, 0}, {0xC0, 0, 0, 0}}),
       {0x405060, 0x405060, 0x102030},
       {0x102030, 0x102030, 0x405060}},
  };
  for (const auto& c : cases) {
    Bitmap bitmap(c.file.data(), c.file.size());
    ASSERT_TRUE(bitmap.isValid()) << c.what;
    ASSERT_EQ(bitmap.width(), 3);
    ASSERT_EQ(bitmap.height(), 2);
    for (int x = 0; x < 3; ++x) {
      EXPECT_EQ(bitmap.pixel(x, 0), c.topRow[x]) << c.what << " top " << x;
      EXPECT_EQ(bitmap.pixel(x, 1), c.bottomRow[x]) << c.what << " bottom " << x;
    }
  }
}

TEST(BitmapLoadBmp, RejectsWhatLiesOutsideTheData) {
  const std::vector<uint8_t> good = solidBmp(5, 3, 0x123456);
  auto changed = [&](std::function<void(std::vector<uint8_t>&)> change) {
    std::vector<uint8_t> file = good;
    change(file);
    return file;
  };
  const struct {
    const char* what;
    std::vector<uint8_t> file;
  } cases[] = {
      {"one byte short", changed([](auto& f) { f.pop_back(); })},
      {"header only", changed([](auto& f) { f.resize(54); })},
      {"cut inside the header", changed([](auto& f) { f.resize(40); })},
      {"cut before the header size", changed([](auto& f) { f.resize(16); })},
      {"no signature", changed([](auto& f) { f[1] = 'N'; })},
      {"header of 108 bytes", changed([](auto& f) { f[14] = 108; })},
      {"huge width", changed([](auto& f) { f[21] = 0x40; })},
      {"negative height", changed([](auto& f) { f[25] = 0xFF; })},
      {"zero width", changed([](auto& f) { f[18] = 0; })},
      {"3 bits per pixel", changed([](auto& f) { f[28] = 3; })},
      {"palette beyond the data", bmpFile(40, 1, 1, 8, {0xFFFFFF}, {})},
  };
  for (const auto& c : cases) {
    Bitmap bitmap(c.file.data(), c.file.size());
    EXPECT_FALSE(bitmap.isValid()) << c.what;
  }
  Bitmap ok(good.data(), good.size());
  EXPECT_EQ(ok.pixel(4, 2), 0x123456u);
}

TEST(BitmapLoadBmp, ShortPaletteAnnouncedByColoursUsedAndIndicesBeyondItAreBlack) {
  std::vector<uint8_t> file = bmpFile(40, 2, 1, 8, {0x112233, 0x445566}, {{1, 9, 0, 0}});
  file[46] = 2;  // colours used
  Bitmap bitmap(file.data(), file.size());
  ASSERT_TRUE(bitmap.isValid());
  EXPECT_EQ(bitmap.pixel(0, 0), 0x445566u);
  EXPECT_EQ(bitmap.pixel(1, 0), 0u);
}

TEST(BitmapLoadBmp, DoesNothingOnAValidBitmap) {
  const std::vector<uint8_t> file = solidBmp(2, 2, 0xFF);
  Bitmap bitmap(1, 1);
  bitmap.loadBmp(file.data(), file.size());
  EXPECT_EQ(bitmap.width(), 1);
  EXPECT_EQ(bitmap.pixel(0, 0), 0u);
}

}  // namespace
}  // namespace velmora
