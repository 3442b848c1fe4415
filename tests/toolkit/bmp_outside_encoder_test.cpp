// Decodes BMP files written by an outside encoder (ImageMagick) and compares every pixel with
// that encoder's own reading of the same file.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "control_panel/toolkit/bitmap.h"
#include "tests/support/scratch.h"

namespace velmora {
namespace {

std::vector<uint8_t> readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

struct Rgb {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;  // 0x00RRGGBB, top-down
};

// A binary PPM (P6, maxval 255).
Rgb readPpm(const std::string& path) {
  const std::vector<uint8_t> bytes = readFile(path);
  std::istringstream header(
      std::string(bytes.begin(), bytes.begin() + std::min<size_t>(bytes.size(), 64)));
  std::string magic;
  int maxval = 0;
  Rgb image;
  header >> magic >> image.width >> image.height >> maxval;
  const size_t start = static_cast<size_t>(header.tellg()) + 1;
  if (magic != "P6" || maxval != 255) return {};
  const size_t count = static_cast<size_t>(image.width) * image.height;
  if (bytes.size() < start + 3 * count) return {};
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* p = bytes.data() + start + 3 * i;
    image.pixels.push_back(static_cast<uint32_t>(p[0]) << 16 | p[1] << 8 | p[2]);
  }
  return image;
}

void writePpm(const std::string& path, int width, int height) {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << width << " " << height << "\n255\n";
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      out.put(static_cast<char>(x * 11))
          .put(static_cast<char>(y * 27))
          .put(static_cast<char>((x * y * 7) ^ 0x5A));
    }
  }
}

bool run(const std::string& command) {
  return std::system((command + " 2>/dev/null").c_str()) == 0;
}

struct EncoderCase {
  const char* what;
  const char* options;  // ImageMagick options and output format
  uint32_t headerSize;
  uint32_t bitsPerPixel;
};

class OutsideEncoderTest : public ::testing::TestWithParam<EncoderCase> {};

TEST_P(OutsideEncoderTest, EveryPixelAsTheEncoderReadsIt) {
  const std::string convert = VELMORA_IMAGEMAGICK_CONVERT;
  if (convert.empty()) GTEST_SKIP() << "ImageMagick's convert is not installed";
  const EncoderCase& c = GetParam();
  platform::test::ScratchFolder folder;
  const std::string source = folder / "source.ppm", bmp = folder / "image.bmp",
                    reading = folder / "reading.ppm";
  writePpm(source, 23, 9);  // odd width: every depth pads its rows
  ASSERT_TRUE(run(convert + " " + source + " " + c.options + bmp)) << c.what;
  ASSERT_TRUE(run(convert + " " + bmp + " -depth 8 ppm:" + reading)) << c.what;

  const std::vector<uint8_t> file = readFile(bmp);
  ASSERT_GE(file.size(), 30u);
  ASSERT_EQ(file[14], c.headerSize) << c.what;
  ASSERT_EQ(file[c.headerSize == 12 ? 24 : 28], c.bitsPerPixel) << c.what;

  const Rgb expected = readPpm(reading);
  ASSERT_EQ(expected.width, 23);
  ASSERT_EQ(expected.height, 9);
  Bitmap decoded(file.data(), file.size());
  ASSERT_TRUE(decoded.isValid()) << c.what;
  ASSERT_EQ(decoded.width(), 23);
  ASSERT_EQ(decoded.height(), 9);
  int wrong = 0;
  for (int y = 0; y < 9; ++y) {
    for (int x = 0; x < 23; ++x) {
      const uint32_t want = expected.pixels[static_cast<size_t>(y) * 23 + x];
      if (decoded.pixel(x, y) != want && ++wrong <= 3) {
        ADD_FAILURE() << c.what << " pixel " << x << "," << y << std::hex << " got "
                      << decoded.pixel(x, y) << " want " << want;
      }
    }
  }
  EXPECT_EQ(wrong, 0) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    ImageMagick, OutsideEncoderTest,
    ::testing::Values(
        EncoderCase{"1 bit", "-colors 2 -type palette BMP3:", 40, 1},
        EncoderCase{"4 bits", "-colors 16 -type palette -compress none BMP3:", 40, 4},
        EncoderCase{"8 bits", "-colors 200 -type palette -compress none BMP3:", 40, 8},
        EncoderCase{"24 bits", "-type truecolor BMP3:", 40, 24},
        EncoderCase{"12-byte header, 24 bits", "-type truecolor BMP2:", 12, 24},
        EncoderCase{"12-byte header, 8 bits", "-colors 200 -type palette BMP2:", 12, 8},
        EncoderCase{"12-byte header, 1 bit", "-colors 2 -type palette BMP2:", 12, 1}),
    [](const auto& info) { return std::to_string(info.index); });

}  // namespace
}  // namespace velmora
