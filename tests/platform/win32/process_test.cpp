#include "platform/process.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/debug_output.h"
#include "platform/thread_info.h"
#include "platform/user_rights.h"
#include "platform/win32/command_line.h"
#include "platform/win_error.h"
#include "tests/support/scratch.h"

namespace platform {
namespace {

TEST(Win32ProcessTest, MissingProgramsAndAddressesAreWindowsErrors) {
  EXPECT_EQ(startProgram("", {}), win_error::FileNotFound);
  EXPECT_EQ(startProgram("C:\\no\\such\\program.exe", {"a"}), win_error::PathNotFound);
  EXPECT_EQ(startProgram("C:\\windows\\no-such-program.exe", {}), win_error::FileNotFound);
  EXPECT_EQ(openWebAddress(""), win_error::InvalidParameter);
  EXPECT_EQ(openWebAddress("-x"), win_error::InvalidParameter);
}

// The control panel starts the updater, whose manifest asks for administrator rights: the
// start goes through the shell, which asks for them, not CreateProcess, which refuses such a
// program (740, elevation required).
TEST(Win32ProcessTest, AProgramThatAsksForAdministratorRightsStarts) {
  EXPECT_EQ(startProgram(ELEVATED_PROBE_PATH, {"--flag", "a value"}), win_error::Success);
}

// A file that is no program is not handed to the program it belongs to.
TEST(Win32ProcessTest, AFileThatIsNoProgramIsBadExeFormat) {
  test::ScratchFolder scratch;
  const std::string text = scratch / "notes.txt";
  std::ofstream(text) << "not a program\n";
  EXPECT_EQ(startProgram(text, {}), win_error::BadExeFormat);
}

TEST(Win32ProcessTest, CommandLinesSplitBackIntoTheSameWords) {
  struct Case {
    std::vector<std::string> words;
    const char* line;
  };
  const Case cases[] = {
      {{"C:\\P\\a.exe", "x"}, "C:\\P\\a.exe x"},
      {{"C:\\Program Files\\a.exe", ""}, "\"C:\\Program Files\\a.exe\" \"\""},
      {{"a", "say \"hi\""}, "a \"say \\\"hi\\\"\""},
      {{"a", "C:\\dir with space\\"}, "a \"C:\\dir with space\\\\\""},
      {{"a", "back\\\\slash"}, "a back\\\\slash"},
  };
  for (const Case& c : cases) EXPECT_EQ(win32::buildCommandLine(c.words), c.line);
}

TEST(Win32ProcessTest, ShellExecuteResultsBecomeWindowsErrors) {
  EXPECT_EQ(win32::shellExecuteError(2), win_error::FileNotFound);
  EXPECT_EQ(win32::shellExecuteError(3), win_error::PathNotFound);
  EXPECT_EQ(win32::shellExecuteError(5), win_error::AccessDenied);
  EXPECT_EQ(win32::shellExecuteError(8), win_error::NotEnoughMemory);
  EXPECT_EQ(win32::shellExecuteError(31), win_error::GenFailure);
}

TEST(Win32ProcessTest, RightsThreadAndTimeAnswer) {
  bool administrator = false;
  EXPECT_EQ(userIsAdministrator(administrator), 0u);
  EXPECT_NE(currentThreadId(), 0u);
  const auto now = localTimeNow();
  ASSERT_TRUE(now);
  EXPECT_LT(now->hour, 24);
  EXPECT_LT(now->millisecond, 1000u);
  outputDebugString("debugger output from the Windows tests\n");
}

}  // namespace
}  // namespace platform
