#include "fwdl/crc32.h"

#include <gtest/gtest.h>

#include <string_view>

namespace fwdl {
namespace {

std::span<const uint8_t> Bytes(std::string_view text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

TEST(Crc32Test, MatchesTheStandardCheckValue) {
  EXPECT_EQ(Crc32(Bytes("123456789")), 0xCBF43926u);
  EXPECT_EQ(Crc32({}), 0u);
}

TEST(Crc32Test, ContinuesOverPieces) {
  EXPECT_EQ(Crc32(Bytes("56789"), Crc32(Bytes("1234"))), 0xCBF43926u);
}

}  // namespace
}  // namespace fwdl
