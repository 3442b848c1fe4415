#include "platform/process.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <fstream>

#include "platform/win_error.h"
#include "tests/support/scratch.h"

namespace platform {
namespace {

using test::ScopedEnv;
using test::ScratchFolder;

void writeFile(const std::string& path, const char* text, mode_t mode) {
  std::ofstream(path) << text;
  ASSERT_EQ(chmod(path.c_str(), mode), 0);
}

TEST(StartProgramTest, ReportsWindowsErrors) {
  ScratchFolder scratch;
  writeFile(scratch / "plain.txt", "not a program\n", 0644);
  writeFile(scratch / "garbage", "text without an interpreter line\n", 0755);
  const struct {
    std::string path;
    uint32_t expected;
  } cases[] = {
      {"/bin/true", win_error::Success},
      {scratch / "missing", win_error::FileNotFound},
      {scratch / "missing-folder/program", win_error::FileNotFound},
      {"", win_error::FileNotFound},
      {scratch / "plain.txt/program", win_error::PathNotFound},
      {scratch / "plain.txt", win_error::AccessDenied},
      {scratch.path(), win_error::AccessDenied},
      {scratch / "garbage", win_error::BadExeFormat},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(startProgram(c.path, {"--flag", "value"}), c.expected) << c.path;
  }
}

TEST(OpenWebAddressTest, RefusesWhatIsNoAddress) {
  EXPECT_EQ(openWebAddress(""), win_error::InvalidParameter);
  EXPECT_EQ(openWebAddress("--version"), win_error::InvalidParameter);
}

TEST(OpenWebAddressTest, WithoutXdgOpenIsFileNotFound) {
  ScratchFolder emptyFolder;
  ScopedEnv path("PATH", emptyFolder.path());
  EXPECT_EQ(openWebAddress("https://example.org/"), win_error::FileNotFound);
}

}  // namespace
}  // namespace platform
