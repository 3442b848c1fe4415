#include "platform/crc32.h"

#include <gtest/gtest.h>

#include <string_view>

namespace platform {
namespace {

std::span<const uint8_t> Bytes(std::string_view text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

TEST(Crc32Test, MatchesTheStandardCheckValue) {
  EXPECT_EQ(crc32(Bytes("123456789")), 0xCBF43926u);
  EXPECT_EQ(crc32({}), 0u);
}

TEST(Crc32Test, ContinuesOverPieces) {
  EXPECT_EQ(crc32(Bytes("56789"), crc32(Bytes("1234"))), 0xCBF43926u);
}

}  // namespace
}  // namespace platform
