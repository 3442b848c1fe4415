#include "fwdl/logging/log_line.h"

#include <gtest/gtest.h>

#include <string>

#include "fwdl/logging/log_types.h"

namespace fwdl {
namespace {

struct LineCase {
  const char* name;
  uint32_t flags;
  bool timeKnown;
  const char* line;
};

void PrintTo(const LineCase& c, std::ostream* out) {
  *out << c.name;
}

class LogLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(LogLineTest, HasTheFlaggedPartsInOrder) {
  LinePrefix prefix{GetParam().flags, 0x1f2e, std::nullopt, "KVOFWDL", "INFO"};
  if (GetParam().timeKnown) prefix.time = LogTime{1, 2, 3, 4};
  EXPECT_EQ(BuildLogLine(prefix, "text\n"), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Prefixes, LogLineTest,
    ::testing::Values(LineCase{"None", 0, true, "text\n"},
                      LineCase{"All",
                               kPrefixThreadId | kPrefixTime | kPrefixModuleToken | kPrefixType,
                               true, "[T0x1f2e] 01:02:03:004  KVOFWDL: INFO: text\n"},
                      LineCase{"LogFileDefault", kPrefixThreadId | kPrefixType | kPrefixTime, true,
                               "[T0x1f2e] 01:02:03:004  INFO: text\n"},
                      LineCase{"DebuggerDefault",
                               kPrefixThreadId | kPrefixModuleToken | kPrefixType, true,
                               "[T0x1f2e] KVOFWDL: INFO: text\n"},
                      LineCase{"UnknownTime", kPrefixTime, false, "Unknown time  text\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LogLineLengthTest, IsCutAtItsLimit) {
  const LinePrefix prefix{kPrefixModuleToken, 0, std::nullopt, "KVOFWDL", "INFO"};
  const std::string line = BuildLogLine(prefix, std::string(2000, 'x'));
  EXPECT_EQ(line.size(), kMaxLogLine);
  EXPECT_EQ(line.substr(0, 10), "KVOFWDL: x");
}

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = FormatEntryText(format, args);
  va_end(args);
  return text;
}

TEST(EntryTextTest, IsCutToItsRoom) {
  EXPECT_EQ(Format("%s=%u\n", "size", 5u), "size=5\n");
  EXPECT_EQ(Format("%s", std::string(3000, 'x').c_str()), std::string(kMaxEntryText, 'x'));
}

// In the "C" locale a wide character beyond ASCII has no multibyte form: the expansion fails.
TEST(EntryTextTest, FailedExpansionKeepsTheFormat) {
  EXPECT_EQ(Format("name %ls\n", L"\u00e9t\u00e9"), "_____FAULTY_LOG_ENTRY: name %ls\n");
}

}  // namespace
}  // namespace fwdl
