#include "platform/resources.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

namespace platform {
namespace {

std::vector<uint8_t> sampleFile() {
  std::ifstream in(RESOURCE_SAMPLE_PATH, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void expectSample(const std::optional<std::span<const uint8_t>>& found) {
  ASSERT_TRUE(found.has_value());
  const std::vector<uint8_t> expected = sampleFile();
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(std::vector<uint8_t>(found->begin(), found->end()), expected);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(found->data()) % 16, 0u);
  EXPECT_EQ(found->data()[found->size()], 0) << "embedded data ends with a zero byte";
}

TEST(ResourcesTest, FoundByNameWhateverTheCase) {
  expectSample(findResource("TEST", "SAMPLE"));
  expectSample(findResource("test", "Sample"));
}

TEST(ResourcesTest, FoundByNumber) {
  expectSample(findResource("TEST", uint16_t{7}));
  expectSample(findResource("Test", "#7"));
}

TEST(ResourcesTest, AbsentOnesAreNotFound) {
  EXPECT_FALSE(findResource("TEST", "OTHER"));
  EXPECT_FALSE(findResource("KWF", "SAMPLE"));
  EXPECT_FALSE(findResource("TEST", uint16_t{8}));
  // A name of digits is not the numeric id.
  EXPECT_FALSE(findResource("TEST", "7"));
  EXPECT_FALSE(findResource("", ""));
}

}  // namespace
}  // namespace platform
