// The driver channel and the unit channel over the simulated driver.
#include <cstring>
#include <vector>

#include "control_panel/device/kvo1394_driver.h"
#include "device_fixture.h"

namespace velmora::test {
namespace {

using DriverChannelsTest = DeviceFixture;

TEST_F(DriverChannelsTest, BothChannelsAcceptOnlyInterface2Point13AndLater2x) {
  const uint32_t serial = plug();
  (void)serial;
  struct Case {
    uint8_t major, minor;
    bool accepted;
  } cases[] = {{2, 12, false}, {3, 0, false}, {1, 14, false},
               {2, 13, true},  {2, 14, true}, {2, 200, true}};
  for (const Case& c : cases) {
    bus->setDriverVersion(c.major, c.minor);
    const uint32_t expected = c.accepted ? 0u : pv::KVO_STATUS_VERSION_MISMATCH;
    CKvo1394Driver driver;
    EXPECT_EQ(driver.Open(), expected) << int{c.major} << '.' << int{c.minor};
    EXPECT_EQ(driver.IsOpen(), c.accepted);
    auto set = DeviceInfoSet::Get(pv::kInterfaceGuid);
    CKvoCtrl unit;
    EXPECT_EQ(unit.Open(0, set.get()), expected) << int{c.major} << '.' << int{c.minor};
    EXPECT_EQ(unit.IsOpen(), c.accepted);
  }
}

TEST_F(DriverChannelsTest, DriverChannelOpensOnceAndRefusesRequestsWhileClosed) {
  CKvo1394Driver driver;
  uint8_t rate[44] = {};
  EXPECT_EQ(driver.Request(pv::IOCTL_VHPD_GET_SAMPLE_RATE, nullptr, 0, rate, sizeof rate),
            pv::KVO_STATUS_DRIVER_NOT_OPEN);
  ASSERT_EQ(driver.Open(), 0u);
  bus->setDriverVersion(2, 1);  // a second open does not ask again
  EXPECT_EQ(driver.Open(), 0u);
  EXPECT_EQ(driver.Request(pv::IOCTL_VHPD_GET_SAMPLE_RATE, nullptr, 0, rate, sizeof rate), 0u);
  EXPECT_EQ(pv::loadLe32(rate + 4), 48000u);
  driver.Close();
  driver.Close();
  EXPECT_FALSE(driver.IsOpen());
}

TEST_F(DriverChannelsTest, UnitChannelOpenRefusals) {
  plug();
  auto set = DeviceInfoSet::Get(pv::kInterfaceGuid);
  CKvoCtrl unit;
  EXPECT_EQ(unit.Open(0, nullptr), pv::KVO_STATUS_INVALID_PARAMETER);
  EXPECT_EQ(unit.Open(1, set.get()), pv::KVO_STATUS_NO_MORE_ITEMS);
  ASSERT_EQ(unit.Open(0, set.get()), 0u);
  EXPECT_EQ(unit.Open(0, set.get()), pv::KVO_STATUS_ALREADY_OPEN);
  uint8_t flags[4];
  EXPECT_EQ(unit.Request(pv::IOCTL_VHPD_GET_DEVICE_FLAGS, nullptr, 0, flags, 4), 0u);  // intact

  const auto gone = set->size();
  bus->unplug(bus->units()[0].serialLow);
  CKvoCtrl stale;  // the set still lists the unit, but its path no longer opens
  EXPECT_EQ(gone, 1u);
  EXPECT_EQ(stale.Open(0, set.get()), pv::KVO_STATUS_OPEN_FAILED);
  EXPECT_FALSE(stale.IsOpen());
  EXPECT_EQ(stale.Request(pv::IOCTL_VHPD_GET_DEVICE_FLAGS, nullptr, 0, flags, 4),
            pv::KVO_STATUS_NOT_OPEN);
}

TEST_F(DriverChannelsTest, FailedReadLeavesTheFillerBytes) {
  const uint32_t serial = plug();
  AvcioRef io{openIo(0)};
  bus->addFault({.action = simbus::FaultAction::Fail,
                 .kind = simbus::TransferKind::BlockRead,
                 .serial = serial,
                 .skip = 0,
                 .count = 1,
                 .status = pv::VHPD_STATUS_INVALID_GEN_COUNT});
  uint8_t buffer[16];
  std::memset(buffer, 0x77, sizeof buffer);
  EXPECT_EQ(io->ReadBlock(0xC8020000, 0xFFFF, 12, buffer), pv::VHPD_STATUS_INVALID_GEN_COUNT);
  for (int i = 0; i < 12; ++i) EXPECT_EQ(buffer[i], 0x0B);
  EXPECT_EQ(buffer[12], 0x77);  // nothing beyond the requested length
  EXPECT_EQ(io->ReadBlock(0, 1, 4, nullptr), 0xFFFFFFFFu);
}

TEST_F(DriverChannelsTest, OverlongFcpFrameIsRefusedBeforeTheDriver) {
  const uint32_t serial = plug();
  AvcioRef io{openIo(0)};
  std::vector<uint8_t> frame(513, 0);
  std::vector<uint8_t> response(512, 0);
  uint32_t length = 99;
  EXPECT_EQ(io->Channel().FcpTransaction(frame.data(), 513, response.data(), 512, &length),
            pv::KVO_STATUS_FRAME_TOO_LONG);
  EXPECT_EQ(length, 0u);
  EXPECT_EQ(counts(serial).fcp, 0u);
}

TEST_F(DriverChannelsTest, DriverRequestsLeftUnansweredTimeOutAfterTheBound) {
  struct Case {
    simbus::TransferKind kind;
    uint32_t code;
    size_t outputSize;
  } cases[] = {{simbus::TransferKind::SampleRateGet, pv::IOCTL_VHPD_GET_SAMPLE_RATE, 44},
               {simbus::TransferKind::StreamCounters, pv::IOCTL_VHPD_GET_STREAM_COUNTERS, 8}};
  CKvo1394Driver driver;
  ASSERT_EQ(driver.Open(), 0u);
  for (const Case& c : cases) {
    bus->addFault({.action = simbus::FaultAction::Drop, .kind = c.kind});
    std::vector<uint8_t> out(c.outputSize);
    const uint32_t start = clock.tickCount();
    EXPECT_EQ(driver.Request(c.code, nullptr, 0, out.data(), static_cast<uint32_t>(out.size())),
              pv::KVO_STATUS_TIMEOUT);
    EXPECT_EQ(clock.tickCount() - start, kRequestWaitMs);
    EXPECT_EQ(driver.Request(c.code, nullptr, 0, out.data(), static_cast<uint32_t>(out.size())),
              0u);  // the channel goes on working
  }
  CKvo1394Driver unanswered;
  bus->addFault({.action = simbus::FaultAction::Drop, .kind = simbus::TransferKind::DriverInfo});
  EXPECT_EQ(unanswered.Open(), pv::KVO_STATUS_TIMEOUT);
  EXPECT_FALSE(unanswered.IsOpen());
}

// A driver that stopped answering is not waited for on every poll: after a time-out polls
// answer at once until the next try, 5 s, 15 s, 30 s, then every minute. Requests that are
// not polls always ask.
TEST_F(DriverChannelsTest, AnUnansweringDriverCostsAPollOneWaitPerTryAtGrowingIntervals) {
  CKvo1394Driver driver;
  ASSERT_EQ(driver.Open(), 0u);
  bus->addFault({.action = simbus::FaultAction::Drop,
                 .kind = simbus::TransferKind::SampleRateGet,
                 .count = 100});
  uint8_t rate[44] = {};
  const auto ask = [&] {
    return driver.Poll(pv::IOCTL_VHPD_GET_SAMPLE_RATE, nullptr, 0, rate, sizeof rate);
  };
  EXPECT_FALSE(driver.BackingOff());
  for (const uint32_t backOff : {5000u, 15000u, 30000u, 60000u, 60000u}) {
    uint32_t start = clock.tickCount();
    EXPECT_EQ(ask(), pv::KVO_STATUS_TIMEOUT);
    EXPECT_EQ(clock.tickCount() - start, kRequestWaitMs) << "a try waits its bound";
    EXPECT_TRUE(driver.BackingOff());
    clock.sleep(backOff - 1);
    start = clock.tickCount();
    EXPECT_EQ(ask(), pv::KVO_STATUS_TIMEOUT);
    EXPECT_EQ(clock.tickCount(), start) << "no wait before the try after " << backOff << " ms";
    clock.sleep(1);
  }
  const uint32_t start = clock.tickCount();
  EXPECT_EQ(driver.Request(pv::IOCTL_VHPD_GET_SAMPLE_RATE, nullptr, 0, rate, sizeof rate),
            pv::KVO_STATUS_TIMEOUT);
  EXPECT_EQ(clock.tickCount() - start, kRequestWaitMs) << "a request is not a poll";
  bus->clearFaults();
  clock.sleep(60000);
  EXPECT_EQ(ask(), 0u);
  EXPECT_FALSE(driver.BackingOff());
  EXPECT_EQ(pv::loadLe32(rate + 4), 48000u);
}

TEST_F(DriverChannelsTest, HungTransferTimesOutAfterTheBoundAndIsCancelled) {
  const uint32_t serial = plug();
  AvcioRef io{openIo(0)};
  bus->addFault(
      {.action = simbus::FaultAction::Drop, .kind = simbus::TransferKind::Any, .serial = serial});
  uint8_t word[4];
  const uint32_t start = clock.tickCount();
  EXPECT_EQ(io->ReadQuadlet(0, 1, word), pv::KVO_STATUS_TIMEOUT);
  EXPECT_EQ(clock.tickCount() - start, kTransferWaitMs);
  EXPECT_EQ(io->ReadQuadlet(0, 1, word), 0u);  // the channel goes on working
}

TEST_F(DriverChannelsTest, RemovedUnitStatusPassesThrough) {
  const uint32_t serial = plug();
  AvcioRef io{openIo(0)};
  bus->unplug(serial);
  EXPECT_EQ(io->WriteQuadlet(0, 1, 5), pv::KVO_STATUS_DEVICE_REMOVED);
}

}  // namespace
}  // namespace velmora::test
