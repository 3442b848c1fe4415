#include "control_panel/toolkit/skin_archive.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "control_panel/toolkit/named_bitmap.h"
#include "tests/toolkit/skin_fixtures.h"

namespace velmora {
namespace {

using test::ScopedArchive;
using test::solidBmp;

std::vector<uint8_t> bytesOf(const std::string& text) {
  return std::vector<uint8_t>(text.begin(), text.end());
}

TEST(SkinNames, EndAtTheFirstByteBelow32ReadAsSigned) {
  const struct {
    const char* a;
    const char* b;
    bool equal;
  } cases[] = {
      {"KnobMask.bmp", "KnobMask.bmp", true},
      {"KnobMask.bmp", "KnobMask.bmp\nGrayLed.bmp\n1", true},
      {"KnobMask.bmp\r", "KnobMask.bmp\t", true},
      {"Knob\x80tail", "Knob", true},
      {"KnobMask.bmp", "KnobMask.bm", false},
      {"KnobMask.bmp", "KnobMask.bmpx", false},
      {"knobmask.bmp", "KnobMask.bmp", false},
      {"", "\n", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(skinNamesEqual(c.a, c.b), c.equal) << c.a << " | " << c.b;
    EXPECT_EQ(skinNamesEqual(c.b, c.a), c.equal) << c.b << " | " << c.a;
  }
}

TEST(SkinArchive, FindsEntriesByNameInDirectoryOrder) {
  ScopedArchive archive(
      {{"a.bmp", bytesOf("first")}, {"b.bmp", bytesOf("")}, {"a.bmp", bytesOf("second")}});
  ASSERT_EQ(archiveEntryCount(), 3);
  EXPECT_STREQ(archiveEntryName(1), "b.bmp");
  const ArchiveData a = findEntry("a.bmp\nmore lines");
  ASSERT_NE(a.data, nullptr);
  EXPECT_EQ(std::string(a.data, a.data + a.length), "first");
  EXPECT_EQ(findEntry("b.bmp").length, 0u);
  EXPECT_EQ(findEntry("c.bmp").data, nullptr);
  EXPECT_EQ(getArchiveData("a.bmp").data, a.data);
}

TEST(SkinArchive, LoadingAgainReplacesTheEntriesAndTheBytesAreNotRetained) {
  ScopedArchive archive({{"a.bmp", bytesOf("x")}});
  std::vector<uint8_t> other = skin::packArchive({{"b.bmp", bytesOf("y")}});
  loadArchive(other.data(), other.size());
  other.assign(other.size(), 0);
  EXPECT_EQ(findEntry("a.bmp").data, nullptr);
  ASSERT_NE(findEntry("b.bmp").data, nullptr);
  EXPECT_EQ(findEntry("b.bmp").data[0], 'y');
}

TEST(SkinArchive, ResidentBytesAreReadInPlace) {
  const std::vector<uint8_t> bytes =
      skin::packArchive({{"a.bmp", bytesOf("first")}, {"b.bmp", bytesOf("xy")}});
  loadResidentArchive(bytes.data(), bytes.size());
  ASSERT_EQ(archiveEntryCount(), 2);
  const ArchiveData b = findEntry("b.bmp");
  ASSERT_EQ(b.length, 2u);
  EXPECT_GE(b.data, bytes.data());
  EXPECT_LE(b.data + b.length, bytes.data() + bytes.size());
  EXPECT_EQ(std::string(b.data, b.data + b.length), "xy");
  loadArchive(nullptr, 0);
  EXPECT_EQ(archiveEntryCount(), 0);
}

TEST(SkinArchive, SkipsWhatLiesOutsideTheData) {
  auto put = [](std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
  };
  const std::vector<uint8_t> good =
      skin::packArchive({{"one", bytesOf("11")}, {"two", bytesOf("22")}});
  // Layout: N, 2 directory slots (4..19), names at 20 and 24, blocks at 28 and 38; 48 bytes.
  ASSERT_EQ(good.size(), 48u);
  const struct {
    const char* what;
    size_t at;  // where to put `value`, or SIZE_MAX to cut the data to `value` bytes
    uint32_t value;
    std::vector<std::string> names;
  } cases[] = {
      {"intact", SIZE_MAX, 48, {"one", "two"}},
      {"negative count", 0, 0xFFFFFFFF, {}},
      {"count beyond the directory", 0, 0x7FFFFFFF, {"one", "two"}},
      {"name offset outside", 4, 48, {"two"}},
      {"block offset outside", 16, 45, {"one"}},
      {"length beyond the end", 38, 3, {"one"}},
      {"huge length", 28, 0xFFFFFFF0, {"two"}},
      {"last block cut short", SIZE_MAX, 47, {"one"}},
      {"cut inside the directory", SIZE_MAX, 14, {}},
      {"too short for a count", SIZE_MAX, 3, {}},
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> bytes = good;
    if (c.at == SIZE_MAX) {
      bytes.resize(c.value);
    } else {
      put(bytes, c.at, c.value);
    }
    loadArchive(bytes.data(), bytes.size());
    std::vector<std::string> names;
    for (int i = 0; i < archiveEntryCount(); ++i) names.push_back(archiveEntryName(i));
    EXPECT_EQ(names, c.names) << c.what;
  }
  loadArchive(nullptr, 0);
}

TEST(SkinArchive, NamesAreCutAt255Characters) {
  const std::string longName(300, 'n');
  ScopedArchive archive({{longName, bytesOf("z")}});
  EXPECT_EQ(std::string(archiveEntryName(0)), longName.substr(0, 255));
}

TEST(NamedBitmaps, AreDecodedOnceAndSharedByName) {
  ScopedArchive archive(
      {{"KnobMask.bmp", solidBmp(3, 2, 0xFFFFFF)}, {"Broken.bmp", bytesOf("not a bitmap")}});
  NamedBitmap* bare = getNamedBitmap("KnobMask.bmp");
  ASSERT_NE(bare, nullptr);
  EXPECT_TRUE(bare->isValid());
  EXPECT_EQ(bare->pixel(2, 1), 0xFFFFFFu);
  EXPECT_STREQ(bare->name(), "KnobMask.bmp");
  EXPECT_EQ(getNamedBitmap("KnobMask.bmp\nGrayLed.bmp\n1"), bare);
  EXPECT_EQ(getNamedBitmap("KnobMask.bmp"), bare);
  EXPECT_EQ(namedBitmapCount(), 1);

  EXPECT_EQ(getNamedBitmap("Rubbish.bmp"), nullptr);
  EXPECT_EQ(getNamedBitmap("Rubbish.bmp"), nullptr);
  EXPECT_EQ(namedBitmapCount(), 1);

  NamedBitmap* broken = getNamedBitmap("Broken.bmp\nrest");
  ASSERT_NE(broken, nullptr);
  EXPECT_FALSE(broken->isValid());
  EXPECT_STREQ(broken->name(), "Broken.bmp\nrest");  // the whole requested string
  EXPECT_EQ(getNamedBitmap("Broken.bmp"), broken);
  EXPECT_EQ(namedBitmapCount(), 2);

  releaseNamedBitmaps();
  EXPECT_EQ(namedBitmapCount(), 0);
}

TEST(DoubleSkin, WhileLoadedItsImagesAreTakenAtScaleTwoAndTheOthersFromTheSkin) {
  ScopedArchive archive(
      {{"KnobMask.bmp", solidBmp(3, 2, 0x111111)}, {"GrayLed.bmp", solidBmp(5, 5, 0x222222)}});
  EXPECT_EQ(skinScale(), 1);
  NamedBitmap* coarse = getNamedBitmap("KnobMask.bmp");
  ASSERT_NE(coarse, nullptr);

  const std::vector<uint8_t> fine = skin::packArchive({{"KnobMask.bmp", solidBmp(6, 4, 0x333333)}});
  loadDoubleArchive(fine.data(), fine.size());
  EXPECT_EQ(skinScale(), 2);
  const ArchiveData data = getArchiveData("KnobMask.bmp\nrest");
  EXPECT_EQ(data.scale, 2);
  EXPECT_EQ(getArchiveData("GrayLed.bmp").scale, 1) << "not in the ×2 skin: the ×1 image";
  EXPECT_EQ(findEntry("KnobMask.bmp").length, solidBmp(3, 2, 0).size()) << "the ×1 archive";
  NamedBitmap* sharp = getNamedBitmap("KnobMask.bmp");
  ASSERT_NE(sharp, nullptr);
  EXPECT_NE(sharp, coarse) << "a layout built at ×1 keeps its images";
  EXPECT_EQ(sharp->width(), 3);
  EXPECT_EQ(sharp->height(), 2);
  EXPECT_EQ(sharp->scale(), 2);
  EXPECT_EQ(sharp->pixel(5, 3), 0x333333u);
  EXPECT_EQ(getNamedBitmap("GrayLed.bmp")->scale(), 1);

  loadDoubleArchive(nullptr, 0);
  EXPECT_EQ(skinScale(), 1);
  EXPECT_EQ(getNamedBitmap("KnobMask.bmp"), coarse);
}

}  // namespace
}  // namespace velmora
