// velmoractl firmware update through libdun_fwdl.so on a daemon of the test's own, in real
// time: the library's pauses make it last about a quarter of a minute.
#include <gtest/gtest.h>

#include "cli/commands.h"
#include "tests/simbus/daemon_process.h"
#include "tests/support/scratch.h"

namespace velmoractl::test {
namespace {

using simbus::test::DaemonProcess;
using simbus::test::runSimbus;

TEST(FirmwareOnTheDaemonTest, AnUpdatedStudioShowsItsNewFirmwareOnTheBus) {
  platform::test::ScratchFolder folder;
  DaemonProcess daemon(folder.path());
  ASSERT_TRUE(daemon.start({"--units", "studio"})) << daemon.log();
  platform::test::ScopedEnv bus("VELMORA_SIMBUS", daemon.socketPath());
  ASSERT_EQ(
      runSimbus({"--socket", daemon.socketPath(), "driver", "--rejoin-delay", "100"}).exitCode, 0);

  ::testing::internal::CaptureStdout();
  const int code = firmwareUpdateCommand({STUDIO_KWF});
  const std::string out = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(code, 0) << out;
  EXPECT_NE(out.find("firmware update finished: status 0 (KVOFWDL_STATUS_SUCCESS)"),
            std::string::npos)
      << out;

  const auto list = runSimbus({"--socket", daemon.socketPath(), "list"});
  EXPECT_NE(list.out.find("Studio   3         2.1.4300    yes"), std::string::npos) << list.out;
}

}  // namespace
}  // namespace velmoractl::test
