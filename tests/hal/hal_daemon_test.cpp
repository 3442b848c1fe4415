// A running VelmoraHAL on the daemon sees units plugged and unplugged with velmora-simbus.
#include <gtest/gtest.h>

#include "control_panel/hal/bus_change_watcher.h"
#include "control_panel/hal/velmora_hal.h"
#include "platform/clock.h"
#include "simbus/socket_client.h"
#include "tests/simbus/daemon_process.h"
#include "tests/support/scratch.h"

namespace velmora::test {
namespace {

class SilentUserInterface : public HalUserInterface {
 public:
  void ShowStatus(const std::string& text) override { lastStatus = text; }
  void ShowMessageBox(const std::string&, const std::string&) override {}
  std::string lastStatus;
};

// Waits on the platform clock until the bus reports a change; bounded so a lost
// notification fails the test instead of hanging it.
bool waitForChange(BusChangeWatcher& watcher) {
  for (int i = 0; i < 400; ++i) {
    if (watcher.TakeChange()) return true;
    platform::clock().sleep(25);
  }
  return false;
}

TEST(HalDaemonTest, PlugAndUnplugWithTheCommandAreSeenByARunningHal) {
  platform::test::ScratchFolder folder;
  simbus::test::DaemonProcess daemon(folder.path());
  ASSERT_TRUE(daemon.start({"--units", "studio"})) << daemon.log();
  std::string error;
  auto client = simbus::connectDaemon(daemon.socketPath(), false, &error);
  ASSERT_TRUE(client) << error;
  platform::vhpd::ScopedClient useDaemon(client);

  SilentUserInterface ui;
  VelmoraHAL::Create(ui);
  VelmoraHAL& hal = *VelmoraHAL::Get();
  BusChangeWatcher watcher;
  ASSERT_EQ(VelmoraHAL::UnitCount(), 1u);
  ASSERT_EQ(hal.Open(hal.CurrentSerial()), 0);

  const auto plugged = simbus::test::runSimbus(
      {"--socket", daemon.socketPath(), "plug", "compact", "--serial", "777"});
  ASSERT_EQ(plugged.exitCode, 0) << plugged.err;
  ASSERT_TRUE(waitForChange(watcher));
  hal.OnMSWDeviceChange();
  EXPECT_EQ(VelmoraHAL::UnitCount(), 2u);
  EXPECT_EQ(VelmoraHAL::SerialAt(1).low, 777u);

  const UnitSerial current = hal.CurrentSerial();
  const auto unplugged = simbus::test::runSimbus(
      {"--socket", daemon.socketPath(), "unplug", std::to_string(current.low)});
  ASSERT_EQ(unplugged.exitCode, 0) << unplugged.err;
  ASSERT_TRUE(waitForChange(watcher));
  hal.OnMSWDeviceChange();
  EXPECT_FALSE(hal.IsOpen());
  EXPECT_EQ(ui.lastStatus, "Unit disconnected");
  EXPECT_EQ(VelmoraHAL::UnitCount(), 1u);
  VelmoraHAL::Destroy();
}

}  // namespace
}  // namespace velmora::test
