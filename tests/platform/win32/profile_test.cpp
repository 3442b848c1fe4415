#include "platform/profile.h"

#include <gtest/gtest.h>

#include "tests/support/scratch.h"

namespace platform {
namespace {

TEST(Win32ProfileTest, WrittenValuesReadBackWithTheWindowsRules) {
  test::ScratchFolder scratch;
  const std::string file = scratch / "dun_fwdl.cfg";
  EXPECT_EQ(getProfileString(file, "LOG", "Types", "none"), "none");
  EXPECT_EQ(getProfileInt(file, "LOG", "Size", 7), 7u);

  ASSERT_TRUE(writeProfileString(file, "LOG", "Types", "ERROR,INFO"));
  ASSERT_TRUE(writeProfileString(file, " LOG ", "Size", "300000"));
  ASSERT_TRUE(writeProfileString(file, "LOG", "Signed", "-2"));
  EXPECT_EQ(getProfileString(file, "log", "TYPES", ""), "ERROR,INFO");
  EXPECT_EQ(getProfileInt(file, "Log", "size", 0), 300000u);
  EXPECT_EQ(getProfileInt(file, "Log", "signed", 0), 0u - 2u);
  EXPECT_EQ(getProfileString(file, "LOG", "Missing", "dflt"), "dflt");

  ASSERT_TRUE(writeProfileString(file, "LOG", "Types", "DATA"));
  EXPECT_EQ(getProfileString(file, "LOG", "Types", ""), "DATA");
}

TEST(Win32ProfileTest, NamesAndValuesThatCannotBeReadBackAreRefused) {
  test::ScratchFolder scratch;
  const std::string file = scratch / "x.ini";
  EXPECT_FALSE(writeProfileString(file, "", "k", "v"));
  EXPECT_FALSE(writeProfileString(file, "a]b", "k", "v"));
  EXPECT_FALSE(writeProfileString(file, "s", "k=1", "v"));
  EXPECT_FALSE(writeProfileString(file, "s", ";k", "v"));
  EXPECT_FALSE(writeProfileString(file, "s", "k", "two\nlines"));
}

TEST(Win32ProfileTest, ALongValueIsReadWhole) {
  test::ScratchFolder scratch;
  const std::string file = scratch / "long.ini";
  const std::string value(3000, 'v');
  ASSERT_TRUE(writeProfileString(file, "S", "K", value));
  EXPECT_EQ(getProfileString(file, "S", "K", ""), value);
}

}  // namespace
}  // namespace platform
