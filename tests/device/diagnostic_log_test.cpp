#include <gtest/gtest.h>

#include <string>

#include "device_fixture.h"

namespace velmora::test {
namespace {

using DiagnosticLogTest = DeviceFixture;

TEST(LogDestinationTest, ConfigurationValuesAreComparedExactly) {
  const std::pair<const char*, LogDestination> cases[] = {
      {"file", LogDestination::File}, {"console", LogDestination::DebuggerOutput},
      {"File", LogDestination::Off},  {"CONSOLE", LogDestination::Off},
      {"", LogDestination::Off},      {"file ", LogDestination::Off},
  };
  for (const auto& [value, destination] : cases) {
    EXPECT_EQ(logDestinationFromConfig(value), destination) << '"' << value << '"';
  }
}

TEST_F(DiagnosticLogTest, CallsAppendWithoutAddingAnythingSoCallersBuildLines) {
  Log("AudioDriver::Open()... ");
  Log("0x%p\n", LogPtr(0xE0000050));
  Log("found %d device(s)\n", 2);
  EXPECT_EQ(logText(), "AudioDriver::Open()... 0xE0000050\nfound 2 device(s)\n");
  EXPECT_EQ(logFilePath(), temp / "VelmoraProLog.txt");
}

TEST_F(DiagnosticLogTest, PointerFormatPadsLikeWindowsAndKeepsPercentSigns) {
  Log("%p|%p|100%%\n", LogPtr(0x1F), LogPtr(0xFFFFFFFF));
  EXPECT_EQ(logText(), "0000001F|FFFFFFFF|100%\n");
}

TEST_F(DiagnosticLogTest, OffAndUnwritableFolderDropMessagesQuietly) {
  setLogDestination(LogDestination::Off);
  LogText("nothing\n");
  EXPECT_EQ(logText(), "");
  setLogDestination(LogDestination::File);
  platform::test::ScopedEnv missing{"TMPDIR", temp / "no/such/folder"};
  LogText("dropped\n");  // must not crash or throw
  EXPECT_EQ(logText(), "");
}

TEST_F(DiagnosticLogTest, DebuggerOutputCutsMessagesAt255Characters) {
  setLogDestination(LogDestination::DebuggerOutput);
  ::testing::internal::CaptureStderr();
  Log("%s", std::string(300, 'x').c_str());
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), std::string(255, 'x'));
}

}  // namespace
}  // namespace velmora::test
