// The daemon as separate processes see it: shared units, notifications, restarts with the
// state folder, refused frames, one daemon per socket, start on demand.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "daemon_process.h"
#include "platform/vhpd_client.h"
#include "simbus/daemon_control.h"
#include "simbus/socket_client.h"
#include "simbus/unit_model.h"
#include "simbus/unix_socket.h"
#include "simbus/wire_protocol.h"
#include "tests/support/scratch.h"

namespace simbus::test {
namespace {

using platform::test::ScopedEnv;
using platform::test::ScratchFolder;

namespace pv = platform::vhpd;
namespace we = platform::win_error;

// Cross-process waits are real time; the cap only matters when a notification never comes.
constexpr auto kNotificationCap = std::chrono::seconds(10);

// Counts the bus-change notifications a client receives.
class ChangeCounter {
 public:
  explicit ChangeCounter(pv::VhpdClient& client)
      : subscription_(client.subscribeBusChanges([this] {
          std::lock_guard lock(mutex_);
          ++count_;
          changed_.notify_all();
        })) {}

  bool waitFor(int count) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, kNotificationCap, [&] { return count_ >= count; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int count_ = 0;
  std::unique_ptr<pv::Subscription> subscription_;
};

std::shared_ptr<pv::VhpdClient> connect(const std::string& socketPath) {
  std::string error;
  auto client = connectDaemon(socketPath, false, &error);
  EXPECT_TRUE(client) << error;
  return client;
}

std::unique_ptr<DaemonControl> control(const std::string& socketPath) {
  std::string error;
  auto c = DaemonControl::connect(socketPath, &error);
  EXPECT_TRUE(c) << error;
  return c;
}

std::vector<std::string> presentPaths(pv::VhpdClient& client) {
  std::vector<std::string> paths;
  EXPECT_EQ(client.presentInterfaces(pv::kInterfaceGuid, paths), we::Success);
  return paths;
}

uint64_t coefficientAddress(uint32_t index) {
  return kCoefficientBase + 4ull * index;
}

pv::IoResult writeCoefficient(pv::DeviceHandle& unit, uint32_t index, uint32_t value) {
  const auto request = pv::makeAsyncRequest(coefficientAddress(index));
  uint8_t data[4];
  pv::storeBe32(data, value);
  return pv::completeIo(unit.ioControl(pv::IOCTL_VHPD_ASYNC_WRITE, request, data));
}

std::optional<uint32_t> readCoefficient(pv::DeviceHandle& unit, uint32_t index) {
  const auto request = pv::makeAsyncRequest(coefficientAddress(index));
  uint8_t data[4] = {};
  const pv::IoResult result =
      pv::completeIo(unit.ioControl(pv::IOCTL_VHPD_ASYNC_READ, request, data));
  if (result.error != we::Success || result.bytesReturned != 4) return std::nullopt;
  return pv::loadBe32(data);
}

std::unique_ptr<pv::DeviceHandle> openUnit(pv::VhpdClient& client, const std::string& path) {
  std::unique_ptr<pv::DeviceHandle> handle;
  EXPECT_EQ(client.open(path, pv::OpenMode::Synchronous, handle), we::Success);
  return handle;
}

UnitSpec studio(uint32_t serial) {
  UnitSpec spec;
  spec.serialLow = serial;
  return spec;
}

class DaemonTest : public ::testing::Test {
 protected:
  ScratchFolder folder;
  DaemonProcess daemon{folder.path()};
};

TEST_F(DaemonTest, TwoClientsShareOneUnitAndBothHearOfChanges) {
  ASSERT_TRUE(daemon.start({"--units", "none"}));
  auto first = connect(daemon.socketPath());
  auto second = connect(daemon.socketPath());
  ASSERT_TRUE(first && second);
  ChangeCounter firstChanges(*first);
  ChangeCounter secondChanges(*second);
  auto bus = control(daemon.socketPath());
  ASSERT_TRUE(bus);

  ASSERT_EQ(bus->plug(studio(41)), 41u) << bus->error();
  EXPECT_TRUE(firstChanges.waitFor(1));
  EXPECT_TRUE(secondChanges.waitFor(1));
  const std::vector<std::string> paths = presentPaths(*first);
  ASSERT_EQ(paths.size(), 1u);
  EXPECT_EQ(presentPaths(*second), paths);

  // A write through one client's handle is what the other reads, and what the unit holds.
  auto writer = openUnit(*first, paths[0]);
  auto reader = openUnit(*second, paths[0]);
  ASSERT_TRUE(writer && reader);
  EXPECT_EQ(writeCoefficient(*writer, 12, 0x01020304).error, we::Success);
  EXPECT_EQ(readCoefficient(*reader, 12), 0x01020304u);
  EXPECT_EQ(bus->peek(41, 12), 0x01020304u);
  ASSERT_TRUE(bus->poke(41, 13, 777));
  EXPECT_EQ(readCoefficient(*writer, 13), 777u);

  ASSERT_TRUE(bus->unplug(41));
  EXPECT_TRUE(firstChanges.waitFor(2));
  EXPECT_TRUE(secondChanges.waitFor(2));
  EXPECT_TRUE(presentPaths(*second).empty());
  EXPECT_EQ(readCoefficient(*reader, 12), std::nullopt);
}

TEST_F(DaemonTest, RestartKeepsUnitStateAndClientsSeeTheDaemonGo) {
  ASSERT_TRUE(daemon.start({"--units", "none"}));
  {
    auto bus = control(daemon.socketPath());
    ASSERT_TRUE(bus);
    ASSERT_EQ(bus->plug(studio(5)), 5u);
    ASSERT_TRUE(bus->poke(5, 10, 1234));
    ASSERT_TRUE(bus->setDriverRate(96000));
  }
  auto client = connect(daemon.socketPath());
  ASSERT_TRUE(client);
  ChangeCounter changes(*client);

  EXPECT_EQ(daemon.terminate(), 0);
  EXPECT_FALSE(std::filesystem::exists(daemon.socketPath()));
  std::vector<std::string> paths;
  EXPECT_EQ(client->presentInterfaces(pv::kInterfaceGuid, paths), we::DeviceNotConnected);
  EXPECT_TRUE(changes.waitFor(1));  // a lost daemon is a change too

  // --units applies to a first start only: the saved unit comes back alone.
  ASSERT_TRUE(daemon.start({"--units", "compact"}));
  auto bus = control(daemon.socketPath());
  ASSERT_TRUE(bus);
  EXPECT_EQ(bus->peek(5, 10), 1234u);
  const auto units = bus->units();
  ASSERT_TRUE(units);
  ASSERT_EQ(units->size(), 1u);
  EXPECT_EQ((*units)[0].serialLow, 5u);
  EXPECT_TRUE((*units)[0].onBus);
  const auto driver = bus->driver();
  ASSERT_TRUE(driver);
  EXPECT_EQ(driver->driver.sampleRate, 96000u);
}

TEST_F(DaemonTest, CorruptStateIsKeptAsideAndTheBusStartsFresh) {
  std::filesystem::create_directories(daemon.stateFolder());
  std::ofstream(daemon.stateFolder() + "/bus.state") << "not a saved bus\n";
  ASSERT_TRUE(daemon.start());
  EXPECT_TRUE(std::filesystem::exists(daemon.stateFolder() + "/bus.state.corrupt"));
  auto bus = control(daemon.socketPath());
  ASSERT_TRUE(bus);
  const auto units = bus->units();
  ASSERT_TRUE(units);
  ASSERT_EQ(units->size(), 1u);  // the default first unit: one Studio
  EXPECT_EQ((*units)[0].model, Model::Studio);
  EXPECT_NE(daemon.log().find("corrupt"), std::string::npos);
}

std::vector<uint8_t> frameOf(wire::MessageType type, const std::vector<uint8_t>& payload) {
  return wire::encodeFrame(static_cast<uint8_t>(type), payload);
}

std::vector<uint8_t> rawBytes(std::initializer_list<uint32_t> words) {
  wire::Writer w;
  for (uint32_t word : words) w.u32(word);
  return w.take();
}

struct GarbageCase {
  const char* name;
  std::vector<uint8_t> bytes;
};

TEST_F(DaemonTest, MalformedAndOversizedFramesAreRefusedWithoutHarm) {
  using wire::MessageType;
  const std::vector<GarbageCase> cases{
      {"oversized frame", rawBytes({1u << 20, 0})},
      {"empty frame", rawBytes({0})},
      {"unknown type", frameOf(static_cast<MessageType>(0x77), {1, 2, 3})},
      {"text longer than its frame", frameOf(MessageType::Open, rawBytes({1000, 0x41414141}))},
      {"trailing bytes", frameOf(MessageType::Hello, rawBytes({1, 99}))},
      {"unknown model", frameOf(MessageType::Plug, rawBytes({0x99, 1, 2, 3, 4}))},
      {"huge output buffer",
       frameOf(MessageType::IoControl, rawBytes({1, 0, 0x80882804, 1u << 30, 0, 0}))},
      {"flag neither 0 nor 1", frameOf(MessageType::SetStreaming, {2})},
  };
  ASSERT_TRUE(daemon.start());
  for (const GarbageCase& c : cases) {
    SCOPED_TRACE(c.name);
    ConnectResult raw = connectUnixSocket(daemon.socketPath());
    ASSERT_TRUE(raw.fd.valid());
    ASSERT_TRUE(sendAll(raw.fd.get(), c.bytes));
    std::string why;
    EXPECT_FALSE(receiveFrame(raw.fd.get(), &why)) << "the daemon answered";
    EXPECT_EQ(why, "connection closed");
  }
  auto bus = control(daemon.socketPath());
  ASSERT_TRUE(bus);
  EXPECT_TRUE(bus->units());
  const std::string log = daemon.log();
  size_t dropped = 0;
  for (size_t at = log.find("connection dropped"); at != std::string::npos;
       at = log.find("connection dropped", at + 1)) {
    ++dropped;
  }
  EXPECT_EQ(dropped, cases.size()) << log;
}

TEST_F(DaemonTest, OneDaemonPerSocketAndAStaleSocketIsReplaced) {
  // A socket file nobody listens on, as a crashed daemon leaves it.
  std::filesystem::create_directories(std::filesystem::path(daemon.socketPath()).parent_path());
  {
    UniqueFd stale(::socket(AF_UNIX, SOCK_STREAM, 0));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, daemon.socketPath().c_str());
    ASSERT_EQ(::bind(stale.get(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  }
  ASSERT_TRUE(daemon.start());
  EXPECT_NE(daemon.log().find("stale"), std::string::npos);

  ScratchFolder otherState;
  const CommandResult second = runSimbus(
      {"serve", "--socket", daemon.socketPath(), "--state", otherState.path() + "/state"});
  EXPECT_EQ(second.exitCode, 1);
  EXPECT_NE(second.err.find("already running"), std::string::npos) << second.err;
  auto bus = control(daemon.socketPath());
  ASSERT_TRUE(bus);
  EXPECT_TRUE(bus->units());
}

TEST(DaemonStartTest, AClientStartsTheDaemonWhenNoneRuns) {
  ScratchFolder folder;
  const std::string socketPath = folder.path() + "/run/socket";
  std::string error;
  std::shared_ptr<pv::VhpdClient> client;
  {
    // The started daemon keeps its state under XDG_STATE_HOME: in the test's folder.
    ScopedEnv stateHome("XDG_STATE_HOME", folder.path());
    client = connectDaemon(socketPath, true, &error);
  }
  ASSERT_TRUE(client) << error;
  EXPECT_EQ(presentPaths(*client).size(), 1u);  // the default first unit
  auto bus = control(socketPath);
  ASSERT_TRUE(bus);
  EXPECT_TRUE(bus->stop()) << bus->error();
  EXPECT_FALSE(std::filesystem::exists(socketPath));
  EXPECT_TRUE(std::filesystem::exists(folder.path() + "/velmora-simbus/bus.state"));
}

TEST(DaemonStartTest, NoDaemonMeansNoClient) {
  ScratchFolder folder;
  std::string error;
  EXPECT_FALSE(connectDaemon(folder.path() + "/socket", false, &error));
  EXPECT_NE(error.find("no simulated bus is running"), std::string::npos) << error;
}

}  // namespace
}  // namespace simbus::test
