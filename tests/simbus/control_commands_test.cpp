// The velmora-simbus command as scripts use it: output forms and exit codes.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "daemon_process.h"
#include "platform/vhpd_client.h"
#include "simbus/sim_bus.h"
#include "simbus/socket_client.h"
#include "tests/support/scratch.h"

namespace simbus::test {
namespace {

using platform::test::ScratchFolder;
namespace pv = platform::vhpd;
namespace we = platform::win_error;

size_t lineCount(const std::string& text) {
  return std::count(text.begin(), text.end(), '\n');
}

// The objects of a flat JSON array, each as its list of keys and its text.
struct JsonObject {
  std::vector<std::string> keys;
  std::string text;
};

std::vector<JsonObject> jsonObjects(const std::string& json) {
  std::vector<JsonObject> objects;
  const std::regex object(R"(\{[^{}]*\})");
  const std::regex key(R"x("(\w+)"\s*:)x");
  for (auto o = std::sregex_iterator(json.begin(), json.end(), object); o != std::sregex_iterator();
       ++o) {
    JsonObject entry{{}, o->str()};
    for (auto k = std::sregex_iterator(entry.text.begin(), entry.text.end(), key);
         k != std::sregex_iterator(); ++k) {
      entry.keys.push_back((*k)[1]);
    }
    objects.push_back(entry);
  }
  return objects;
}

TEST(ControlCommandsTest, ListJsonHasExactlyTheUnitKeys) {
  ScratchFolder folder;
  DaemonProcess daemon(folder.path());
  ASSERT_TRUE(daemon.start({"--units", "none"}));
  const std::string socket = daemon.socketPath();
  ASSERT_EQ(runSimbus({"--socket", socket, "plug", "studio", "--serial", "7"}).out, "7\n");
  ASSERT_EQ(runSimbus({"--socket", socket, "plug", "compact", "--serial", "0x10", "--firmware",
                       "2.1.4300", "--protocol", "2"})
                .exitCode,
            0);
  ASSERT_EQ(runSimbus({"--socket", socket, "unplug", "7"}).exitCode, 0);

  const CommandResult list = runSimbus({"--socket", socket, "list", "--json"});
  ASSERT_EQ(list.exitCode, 0) << list.err;
  const std::vector<JsonObject> units = jsonObjects(list.out);
  ASSERT_EQ(units.size(), 2u) << list.out;
  const std::vector<std::string> keys{"serial",   "serialHigh", "model",
                                      "protocol", "firmware",   "onBus"};
  for (const JsonObject& unit : units) EXPECT_EQ(unit.keys, keys) << unit.text;
  EXPECT_NE(units[0].text.find(R"("serial": 7,)"), std::string::npos) << units[0].text;
  EXPECT_NE(units[0].text.find(R"("serialHigh": 2048103424,)"), std::string::npos);
  EXPECT_NE(units[0].text.find(R"("onBus": false)"), std::string::npos);
  EXPECT_NE(units[1].text.find(R"("model": "Compact")"), std::string::npos);
  EXPECT_NE(units[1].text.find(R"("protocol": 2,)"), std::string::npos);
  EXPECT_NE(units[1].text.find(R"("firmware": "2.1.4300")"), std::string::npos);
  EXPECT_NE(units[1].text.find(R"("onBus": true)"), std::string::npos);

  const CommandResult table = runSimbus({"--socket", socket, "list"});
  EXPECT_EQ(lineCount(table.out), 3u) << table.out;  // header and two units
  EXPECT_NE(table.out.find("0x7A139400"), std::string::npos) << table.out;

  ASSERT_EQ(runSimbus({"--socket", socket, "poke", "16", "3=5", "4=0x10"}).exitCode, 0);
  EXPECT_EQ(runSimbus({"--socket", socket, "peek", "16", "3", "4"}).out, "5\n16\n");
}

// Faults on the driver's requests and on an open, an absent settings key and a serial that
// comes back as the other model, each set by the command and seen by a client of the bus.
TEST(ControlCommandsTest, DriverFaultsSettingsKeysAndReplacementsReachTheBus) {
  ScratchFolder folder;
  DaemonProcess daemon(folder.path());
  ASSERT_TRUE(daemon.start({"--units", "none"}));
  const std::string socket = daemon.socketPath();
  auto simbus = [&](std::vector<std::string> args) {
    args.insert(args.begin(), {"--socket", socket});
    return runSimbus(args);
  };
  ASSERT_EQ(simbus({"plug", "studio", "--serial", "7"}).exitCode, 0);
  ASSERT_EQ(simbus({"fault", "fail", "--kind", "open", "--serial", "7", "--status", "5"}).exitCode,
            0);
  ASSERT_EQ(simbus({"fault", "drop", "--kind", "sample-rate-get"}).exitCode, 0);
  EXPECT_EQ(simbus({"fault", "list"}).out,
            "fail kind=open serial=7 skip=0 count=1 status=0x00000005\n"
            "drop kind=sample-rate-get serial=any skip=0 count=1\n");
  EXPECT_EQ(simbus({"settings", "studio", "--key", "absent"}).out,
            "key                absent\nSampleRate[Hz]     (none)\n");

  std::string error;
  std::shared_ptr<pv::VhpdClient> client = connectDaemon(socket, false, &error);
  ASSERT_TRUE(client) << error;
  std::unique_ptr<pv::DeviceHandle> handle;
  const std::string path = SimBus::devicePath(uint64_t{kDefaultSerialHigh} << 32 | 7);
  EXPECT_EQ(client->open(path, pv::OpenMode::Overlapped, handle), we::AccessDenied);
  EXPECT_EQ(client->openDriverSettingsKey(kStudioSettingsKey), we::FileNotFound);
  EXPECT_EQ(simbus({"settings", "studio", "--key", "present"}).out.substr(0, 27),
            "key                present\n");
  EXPECT_EQ(client->openDriverSettingsKey(kStudioSettingsKey), we::Success);

  ASSERT_EQ(simbus({"unplug", "7"}).exitCode, 0);
  EXPECT_EQ(simbus({"plug", "compact", "--serial", "7"}).exitCode, 1);  // a Studio's serial
  EXPECT_EQ(simbus({"plug", "compact", "--serial", "7", "--replace"}).out, "7\n");
  EXPECT_NE(simbus({"list"}).out.find("Compact"), std::string::npos);
}

struct UsageCase {
  std::vector<std::string> args;
};

TEST(ControlCommandsTest, BadArgumentsExitTwoWithOneLine) {
  ScratchFolder folder;
  const std::string socket = folder.path() + "/socket";  // nothing listens: never reached
  const std::vector<UsageCase> cases{
      {{}},
      {{"frobnicate"}},
      {{"list", "--bogus"}},
      {{"list", "extra"}},
      {{"plug"}},
      {{"plug", "banana"}},
      {{"plug", "studio", "--protocol", "4"}},
      {{"plug", "studio", "--serial", "-1"}},
      {{"plug", "studio", "--firmware", "2.0"}},
      {{"plug", "studio", "--serial"}},
      {{"unplug"}},
      {{"unplug", "seven"}},
      {{"peek", "1"}},
      {{"peek", "1", "x"}},
      {{"poke", "1", "5"}},
      {{"fault", "explode"}},
      {{"fault", "delay"}},
      {{"fault", "fail", "--kind", "sideways"}},
      {{"fault", "list", "--count", "2"}},
      {{"fault", "remove", "--kind", "sample-rate-get"}},
      {{"fault", "delay", "--kind", "open", "--delay", "5"}},
      {{"plug", "studio", "--replace"}},
      {{"settings"}},
      {{"settings", "banana"}},
      {{"settings", "studio", "--key", "maybe"}},
      {{"transfers", "1", "--block-read", "maybe"}},
      {{"driver", "--rate", "fast"}},
      {{"driver", "--version", "2"}},
      {{"serve", "--units", "studio,banana"}},
  };
  for (const UsageCase& c : cases) {
    std::vector<std::string> args{"--socket", socket};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const CommandResult result = runSimbus(args);
    SCOPED_TRACE(testing::PrintToString(c.args));
    EXPECT_EQ(result.exitCode, 2);
    if (!c.args.empty()) {
      EXPECT_EQ(lineCount(result.err), 1u) << result.err;
    }
  }
}

TEST(ControlCommandsTest, NoRunningBusIsAFailureThatSaysHowToStartOne) {
  ScratchFolder folder;
  const std::string socket = folder.path() + "/socket";
  for (const char* command : {"list", "stop"}) {
    const CommandResult result = runSimbus({"--socket", socket, command});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("no simulated bus is running at " + socket), std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("velmora-simbus serve"), std::string::npos);
  }
}

TEST(ControlCommandsTest, EveryCommandHasHelp) {
  for (const char* command : {"serve", "list", "plug", "unplug", "peek", "poke", "fault",
                              "transfers", "driver", "settings", "stop"}) {
    const CommandResult result = runSimbus({command, "--help"});
    EXPECT_EQ(result.exitCode, 0) << command;
    EXPECT_NE(result.out.find(std::string("velmora-simbus [--socket PATH] ") + command),
              std::string::npos)
        << result.out;
  }
}

}  // namespace
}  // namespace simbus::test
