#include "platform/profile.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "tests/support/scratch.h"

namespace platform {
namespace {

using test::ScratchFolder;

void writeText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

size_t entriesIn(const std::string& folder) {
  size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++count;
  return count;
}

struct ReadCase {
  const char* title;
  std::optional<std::string> content;  // nullopt: no file
  const char* section;
  const char* key;
  const char* expected;
};

TEST(ProfileTest, GetProfileString) {
  const ReadCase cases[] = {
      {"missing file", std::nullopt, "Log", "Level", "dflt"},
      {"missing section", "[Other]\nLevel=1\n", "Log", "Level", "dflt"},
      {"missing key", "[Log]\nOther=1\n", "Log", "Level", "dflt"},
      {"key of another section", "[A]\nLevel=1\n[Log]\nx=2\n", "Log", "Level", "dflt"},
      {"key before any section", "Level=1\n[Log]\n", "Log", "Level", "dflt"},
      {"names case-insensitive", "[lOG]\nlevel=3\n", "Log", "LEVEL", "3"},
      {"whitespace trimmed", "  [ Log ]  \n  Level  =  two words \t\n", "Log", "Level",
       "two words"},
      {"lookup names trimmed", "[Log]\nLevel=3\n", " Log ", " Level ", "3"},
      {"CRLF lines", "[Log]\r\nLevel=3\r\nSize=9\r\n", "Log", "Size", "9"},
      {"no final line ending", "[Log]\nLevel=7", "Log", "Level", "7"},
      {"empty value is a value", "[Log]\nLevel=\n", "Log", "Level", ""},
      {"matching quotes removed", "[Log]\nPath=\" a b \"\n", "Log", "Path", " a b "},
      {"unmatched quote kept", "[Log]\nPath=\"a\n", "Log", "Path", "\"a"},
      {"value may hold '='", "[Log]\nExpr=a=b\n", "Log", "Expr", "a=b"},
      {"comment is no key", "[Log]\n;Level=9\nLevel=4\n", "Log", "Level", "4"},
      {"first duplicate wins", "[Log]\nLevel=1\nLevel=2\n[LOG]\nLevel=3\n", "Log", "Level", "1"},
      {"byte-order mark skipped", "\xEF\xBB\xBF[Log]\nLevel=6\n", "Log", "Level", "6"},
      {"header without ']' is no section", "[Log\nLevel=5\n", "Log", "Level", "dflt"},
  };
  ScratchFolder scratch;
  const std::string file = scratch / "fwdl.cfg";
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.title);
    std::filesystem::remove(file);
    if (c.content) writeText(file, *c.content);
    EXPECT_EQ(getProfileString(file, c.section, c.key, "dflt"), c.expected);
  }
}

TEST(ProfileTest, GetProfileIntTakesTheLeadingDecimalNumber) {
  const struct {
    std::optional<std::string> value;  // nullopt: no such key
    uint32_t expected;
  } cases[] = {
      {"42", 42}, {"  42  ", 42},      {"12abc", 12},     {"abc", 0}, {"0x10", 0},
      {"+8", 8},  {"-1", 0xFFFFFFFFu}, {"4294967297", 1}, {"", 77},   {std::nullopt, 77},
  };
  ScratchFolder scratch;
  const std::string file = scratch / "fwdl.cfg";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value.value_or("(missing)"));
    writeText(file, c.value ? "[Log]\nLevel=" + *c.value + "\n" : "[Log]\n");
    EXPECT_EQ(getProfileInt(file, "Log", "Level", 77), c.expected);
  }
}

struct WriteCase {
  const char* title;
  std::optional<std::string> before;  // nullopt: no file
  const char* after;                  // after setting [Log] Level=3
};

TEST(ProfileTest, WriteProfileString) {
  const WriteCase cases[] = {
      {"creates the file", std::nullopt, "[Log]\nLevel=3\n"},
      {"fills an empty file", "", "[Log]\nLevel=3\n"},
      {"appends the section", "; settings\n[A]\nx=1\n", "; settings\n[A]\nx=1\n[Log]\nLevel=3\n"},
      {"ends the last line first", "[A]\nx=1", "[A]\nx=1\n[Log]\nLevel=3\n"},
      {"replaces in place",
       "[A]\nLevel=1\n\n[log]\n; how much to log\n  LEVEL = 1\nName=n\n\n[B]\ny=2\n",
       "[A]\nLevel=1\n\n[log]\n; how much to log\n  LEVEL = 3\nName=n\n\n[B]\ny=2\n"},
      {"adds after the section's last line", "[Log]\nName=n\n\n[B]\ny=2\n",
       "[Log]\nName=n\nLevel=3\n\n[B]\ny=2\n"},
      {"adds to a header-only section", "[Log]\n[B]\n", "[Log]\nLevel=3\n[B]\n"},
      {"adds after a last line without ending", "[Log]\nName=n", "[Log]\nName=n\nLevel=3\n"},
      {"keeps CRLF when adding", "[Log]\r\nName=n\r\n", "[Log]\r\nName=n\r\nLevel=3\r\n"},
      {"keeps CRLF when replacing", "[Log]\r\nLevel=1\r\nName=n\r\n",
       "[Log]\r\nLevel=3\r\nName=n\r\n"},
      {"replaces only the first duplicate", "[Log]\nLevel=1\nLevel=2\n",
       "[Log]\nLevel=3\nLevel=2\n"},
  };
  for (const WriteCase& c : cases) {
    SCOPED_TRACE(c.title);
    ScratchFolder scratch;
    const std::string file = scratch / "fwdl.cfg";
    if (c.before) writeText(file, *c.before);
    ASSERT_TRUE(writeProfileString(file, "Log", "Level", "3"));
    EXPECT_EQ(readText(file), c.after);
    EXPECT_EQ(getProfileString(file, "log", "level", ""), "3");
    EXPECT_EQ(entriesIn(scratch.path()), 1u) << "temporary file left behind";
  }
}

TEST(ProfileTest, WriteRefusesWhatCannotBeReadBack) {
  const struct {
    const char* section;
    const char* key;
    const char* value;
  } cases[] = {
      {"", "Level", "3"},     {" ", "Level", "3"},      {"Log]", "Level", "3"},
      {"Log", "", "3"},       {"Log", "Le=vel", "3"},   {"Log", ";Level", "3"},
      {"Log", "[Level", "3"}, {"Log", "Level", "3\n4"}, {"Lo\ng", "Level", "3"},
  };
  ScratchFolder scratch;
  const std::string file = scratch / "fwdl.cfg";
  const std::string before = "[Log]\nLevel=1\n";
  writeText(file, before);
  for (const auto& c : cases) {
    EXPECT_FALSE(writeProfileString(file, c.section, c.key, c.value))
        << c.section << "/" << c.key << "/" << c.value;
  }
  EXPECT_EQ(readText(file), before);
}

TEST(ProfileTest, WriteKeepsTheFileMode) {
  ScratchFolder scratch;
  const std::string file = scratch / "fwdl.cfg";
  writeText(file, "[Log]\n");
  ASSERT_EQ(chmod(file.c_str(), 0640), 0);
  ASSERT_TRUE(writeProfileString(file, "Log", "Level", "3"));
  struct stat status {};
  ASSERT_EQ(stat(file.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);
}

}  // namespace
}  // namespace platform
