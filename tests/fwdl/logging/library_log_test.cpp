// The library log driven by its configuration file, as the library sets it up at load.
#include "fwdl/logging/library_log.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "platform/profile.h"
#include "tests/fwdl/fwdl_test_support.h"
#include "tests/support/scratch.h"

namespace fwdl {
namespace {

using ::testing::HasSubstr;
using ::testing::MatchesRegex;
using test::ReadText;
using test::WriteText;

bool Exists(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0;
}

class LibraryLogTest : public ::testing::Test {
 protected:
  void TearDown() override { ShutdownLogging(); }

  // Loads the log's settings from a configuration file holding `text`.
  void Configure(const std::string& text) {
    WriteText(config_, text);
    InitLogging(config_);
  }

  std::string Profile(const std::string& section, const std::string& key) const {
    return platform::getProfileString(config_, section, key, "<missing>");
  }

  platform::test::ScratchFolder scratch_;
  std::string config_ = scratch_ / "dun_fwdl.cfg";
  std::string log_ = scratch_ / "dun_fwdl.log";
};

TEST_F(LibraryLogTest, EmptyConfigurationIsFilledWithTheDefaults) {
  Configure("");
  struct Row {
    const char* section;
    const char* key;
    const char* value;
  };
  const Row rows[] = {
      {"Common", "ModuleToken", "KVOFWDL"},
      {"LogType0", "Name", "ERROR"},
      {"LogType0", "Enabled", "1"},
      {"LogType1", "Name", "WARNING"},
      {"LogType1", "Enabled", "1"},
      {"LogType2", "Name", "INFO"},
      {"LogType2", "Enabled", "1"},
      {"LogType3", "Name", "DATA"},
      {"LogType3", "Enabled", "0"},
      {"TraceView", "Enabled", "0"},
      {"TraceView", "ThreadIdExtension", "1"},
      {"TraceView", "ModuleTokenExtension", "1"},
      {"TraceView", "TypeExtension", "1"},
      {"TraceView", "TimeExtension", "0"},
      {"LogFile", "ThreadIdExtension", "1"},
      {"LogFile", "ModuleTokenExtension", "0"},
      {"LogFile", "TypeExtension", "1"},
      {"LogFile", "TimeExtension", "1"},
      {"LogFile", "PathAndName", ""},
      {"LogFile", "MaxSize", "5000000"},
      {"LogFile", "CheckSizeAfterEachEntry", "0"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Profile(row.section, row.key), row.value) << row.section << "/" << row.key;
  }
  for (int i = 4; i < 32; ++i) {
    const std::string section = "LogType" + std::to_string(i);
    EXPECT_EQ(Profile(section, "Name"), "") << section;
    EXPECT_EQ(Profile(section, "Enabled"), "0") << section;
  }
}

TEST_F(LibraryLogTest, MissingConfigurationStaysMissingAndTheDefaultsApply) {
  InitLogging(config_);
  ASSERT_TRUE(EnableLogFile(log_));
  Log(LogType::Info, "shown\n");
  Log(LogType::Data, "hidden\n");
  DisableLogFile();
  EXPECT_FALSE(Exists(config_));
  EXPECT_EQ(test::LogEntries(log_), std::vector<std::string>{"INFO: shown"});
}

TEST_F(LibraryLogTest, LogType3EnablesDataEntries) {
  Configure("[LogType3]\nName=DATA\nEnabled=1\n[LogFile]\nTypeExtension=1\nPathAndName=" + log_ +
            "\n");
  Log(LogType::Data, "read %u bytes\n", 64u);
  Log(LogType::Info, "not enabled\n");
  EXPECT_EQ(ReadText(log_), "DATA: read 64 bytes\n");
}

TEST_F(LibraryLogTest, AllFourPrefixesMakeTheWholeLine) {
  Configure(
      "[Common]\nModuleToken=FWTEST\n[LogType2]\nName=INFO\nEnabled=1\n[LogFile]\n"
      "ThreadIdExtension=1\nModuleTokenExtension=1\nTypeExtension=1\nTimeExtension=1\n"
      "PathAndName=" +
      log_ + "\n");
  Log(LogType::Info, "hello\n");
  EXPECT_THAT(ReadText(log_),
              MatchesRegex(R"(\[T0x[0-9a-f]+\] [0-2][0-9]:[0-5][0-9]:[0-6][0-9]:[0-9]{3}  )"
                           R"(FWTEST: INFO: hello)"
                           "\n"));
}

TEST_F(LibraryLogTest, FailingFormatStillLogsItsFormat) {
  Configure("[LogType2]\nName=INFO\nEnabled=1\n[LogFile]\nTypeExtension=1\nPathAndName=" + log_ +
            "\n");
  Log(LogType::Info, "name %ls\n", L"\u00e9t\u00e9");
  EXPECT_EQ(ReadText(log_), "INFO: _____FAULTY_LOG_ENTRY: name %ls\n");
}

// Each entry is 24 bytes: the fifth makes the file larger than 100 bytes.
TEST_F(LibraryLogTest, FileLargerThanItsLimitBecomesTheOnlyBackup) {
  const std::string backup = scratch_ / "dun_fwdl.bak";
  WriteText(backup, "an older backup\n");
  Configure(
      "[LogType0]\nEnabled=1\n[LogFile]\nMaxSize=100\nCheckSizeAfterEachEntry=1\n"
      "PathAndName=" +
      log_ + "\n");
  for (int i = 1; i <= 6; ++i) Log(LogType::Error, "entry %d of the test....\n", i);

  std::string firstFive;
  for (int i = 1; i <= 5; ++i) firstFive += "entry " + std::to_string(i) + " of the test....\n";
  EXPECT_EQ(ReadText(backup), firstFive);
  EXPECT_EQ(ReadText(log_), "entry 6 of the test....\n");
}

TEST_F(LibraryLogTest, FileOverItsLimitAtOpenIsBackedUpFirst) {
  WriteText(log_, "yesterday's entries\n");
  Configure("[LogType0]\nEnabled=1\n[LogFile]\nMaxSize=10\nPathAndName=" + log_ + "\n");
  Log(LogType::Error, "today\n");
  EXPECT_EQ(ReadText(scratch_ / "dun_fwdl.bak"), "yesterday's entries\n");
  EXPECT_EQ(ReadText(log_), "today\n");
}

TEST_F(LibraryLogTest, DebuggerOutputHasItsOwnPrefixes) {
  Configure(
      "[Common]\nModuleToken=KVOFWDL\n[LogType0]\nName=ERROR\nEnabled=1\n"
      "[TraceView]\nEnabled=1\nModuleTokenExtension=1\n"
      "TypeExtension=1\n");
  ::testing::internal::CaptureStderr();
  Log(LogType::Error, "boom\n");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "KVOFWDL: ERROR: boom\n");
}

// /dev/full takes the bytes and fails the flush.
TEST_F(LibraryLogTest, FailingLogFileIsReportedToTheDebuggerOnly) {
  Configure(
      "[LogType0]\nName=ERROR\nEnabled=1\n[TraceView]\nEnabled=1\nTypeExtension=1\n"
      "[LogFile]\nPathAndName=/dev/full\n");
  ::testing::internal::CaptureStderr();
  Log(LogType::Error, "lost\n");
  Log(LogType::Error, "lost again\n");
  const std::string debugger = ::testing::internal::GetCapturedStderr();
  EXPECT_THAT(debugger, HasSubstr("ERROR: lost\nERROR: WriteEntry: flushing \""));
  EXPECT_THAT(debugger, HasSubstr("ERROR: Logging to the logfile failed.\nERROR: lost again\n"));
}

TEST_F(LibraryLogTest, ChosenLogFileIsRecordedInAnExistingConfiguration) {
  Configure("[Common]\nModuleToken=KVOFWDL\n");
  ASSERT_TRUE(EnableLogFile(log_));
  EXPECT_EQ(Profile("LogFile", "PathAndName"), log_);
  EXPECT_EQ(Profile("LogFile", "MaxSize"), "5000000");
  EXPECT_EQ(Profile("LogFile", "CheckSizeAfterEachEntry"), "0");

  ASSERT_TRUE(DisableLogFile());
  EXPECT_EQ(Profile("LogFile", "PathAndName"), "");
  EXPECT_FALSE(EnableLogFile(""));
}

}  // namespace
}  // namespace fwdl
