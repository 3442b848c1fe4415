#include <gtest/gtest.h>

#include "control_panel/device/guid_text.h"

namespace velmora::test {
namespace {

namespace pv = platform::vhpd;

TEST(GuidTextTest, ConvertsTheInterfaceGuidInAnyCaseAndWithoutDashes) {
  for (const char* text :
       {"{D4647551-A610-4623-AD1E-2F4A94EFE734}", "{d4647551-a610-4623-ad1e-2f4a94efe734}",
        "{D4647551A6104623AD1E2F4A94EFE734}"}) {
    pv::Guid guid;
    EXPECT_TRUE(GuidFromText(text, guid)) << text;
    EXPECT_EQ(guid, pv::kInterfaceGuid) << text;
  }
}

TEST(GuidTextTest, NonHexDigitsCountAsZero) {
  pv::Guid guid;
  ASSERT_TRUE(GuidFromText("{Z4647551-A610-4623-AD1E-2F4A94EFE7zz}", guid));
  EXPECT_EQ(guid.data1, 0x04647551u);
  EXPECT_EQ(guid.data4[7], 0x00);
}

TEST(GuidTextTest, AMissingClosingBraceZeroesTheGuid) {
  for (const char* text :
       {"{D4647551-A610-4623-AD1E-2F4A94EFE734", "{D4647551-A610-4623-AD1E-2F4A94EFE734]",
        "{D4647551}", "", "{D4647551-A610-4623-AD1E-2F4A94EFE7345}"}) {
    pv::Guid guid = pv::kInterfaceGuid;
    EXPECT_FALSE(GuidFromText(text, guid)) << text;
    EXPECT_EQ(guid, pv::Guid{}) << text;
  }
  pv::Guid guid = pv::kInterfaceGuid;
  EXPECT_FALSE(GuidFromText(nullptr, guid));
  EXPECT_EQ(guid, pv::Guid{});
}

}  // namespace
}  // namespace velmora::test
