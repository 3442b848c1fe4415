// Units arriving and leaving: paths, handles, generation counts and notifications.
#include <atomic>

#include "bus_fixture.h"

namespace simbus::test {
namespace {

using HotPlugTest = BusFixture;

TEST_F(HotPlugTest, PresentInterfacesFollowArrivalOrderAndKeepPathsPerUnit) {
  const uint32_t a = plug(Model::Studio, 11);
  const uint32_t b = plug(Model::Compact, 22);
  std::vector<std::string> paths;
  ASSERT_EQ(client->presentInterfaces(pv::kInterfaceGuid, paths), we::Success);
  ASSERT_EQ(paths.size(), 2u);
  const std::string pathA = paths[0];

  ASSERT_TRUE(bus->unplug(a));
  EXPECT_EQ(client->presentInterfaces(pv::kInterfaceGuid, paths), platform::win_error::Success);
  EXPECT_EQ(paths,
            std::vector<std::string>{SimBus::devicePath(uint64_t{kDefaultSerialHigh} << 32 | b)});

  ASSERT_EQ(bus->plug(UnitSpec{Model::Studio, a}), a);
  EXPECT_EQ(client->presentInterfaces(pv::kInterfaceGuid, paths), platform::win_error::Success);
  ASSERT_EQ(paths.size(), 2u);
  EXPECT_EQ(paths[1], pathA);  // same unit, same path, now the later arrival

  pv::Guid other = pv::kInterfaceGuid;
  other.data1 ^= 1;
  EXPECT_EQ(client->presentInterfaces(other, paths), platform::win_error::Success);
  EXPECT_TRUE(paths.empty());
}

TEST_F(HotPlugTest, AUnitThatLeftAnswersDeviceRemovedUntilReopened) {
  const uint32_t serial = plug();
  auto unit = openUnit(serial);
  ASSERT_EQ(write(*unit, coefficientAddress(3), be32({33})).error, we::Success);
  ASSERT_TRUE(bus->unplug(serial));
  EXPECT_EQ(read(*unit, coefficientAddress(3), 4).error, pv::KVO_STATUS_DEVICE_REMOVED);
  EXPECT_EQ(call(*unit, pv::IOCTL_VHPD_GET_DEVICE_FLAGS, {}, std::vector<uint8_t>(4)).error,
            pv::KVO_STATUS_DEVICE_REMOVED);
  std::unique_ptr<pv::DeviceHandle> h;
  EXPECT_EQ(client->open(SimBus::devicePath(uint64_t{kDefaultSerialHigh} << 32 | serial),
                         pv::OpenMode::Overlapped, h),
            we::FileNotFound);

  ASSERT_TRUE(bus->plug(UnitSpec{Model::Studio, serial}));
  EXPECT_EQ(read(*unit, coefficientAddress(3), 4).error, pv::KVO_STATUS_DEVICE_REMOVED);
  EXPECT_EQ(read(*openUnit(serial), coefficientAddress(3), 4).error, we::Success);
}

TEST_F(HotPlugTest, PlugRefusesConflictsAndPicksFreeSerials) {
  const uint32_t first = plug();
  const uint32_t second = plug();
  EXPECT_NE(first, second);
  std::string error;
  EXPECT_FALSE(bus->plug(UnitSpec{Model::Studio, first}, &error));
  EXPECT_NE(error.find("on the bus"), std::string::npos);
  bus->unplug(first);
  EXPECT_FALSE(bus->plug(UnitSpec{Model::Compact, first}, &error));
  EXPECT_NE(error.find("Studio"), std::string::npos);
  EXPECT_FALSE(bus->plug(UnitSpec{Model::Studio, 0, kDefaultSerialHigh, 4}, &error));
  EXPECT_FALSE(bus->unplug(first));
}

TEST_F(HotPlugTest, TheSameSerialComesBackAsTheOtherModel) {
  const uint32_t serial = plug(Model::Studio, 31);
  auto before = openUnit(serial);
  ASSERT_TRUE(bus->poke(serial, 3, 33));
  std::string error;
  EXPECT_FALSE(bus->plugReplacing(UnitSpec{Model::Compact, serial}, &error));  // still on the bus
  EXPECT_NE(error.find("on the bus"), std::string::npos);
  EXPECT_FALSE(bus->plugReplacing(UnitSpec{Model::Compact, 32}, &error));  // no such unit
  ASSERT_TRUE(bus->unplug(serial));

  EXPECT_EQ(bus->plugReplacing(UnitSpec{Model::Compact, serial}), serial);
  ASSERT_EQ(bus->units().size(), 1u);
  EXPECT_EQ(bus->units()[0].model, Model::Compact);
  EXPECT_TRUE(bus->units()[0].onBus);
  EXPECT_EQ(bus->peek(serial, 3), 0u);  // a unit of its own, not the Studio's state
  EXPECT_EQ(read(*before, kInfoBlockAddress, 4).error, pv::KVO_STATUS_DEVICE_REMOVED);
  const Reply block = read(*openUnit(serial), kInfoBlockAddress, kInfoBlockSize);
  ASSERT_EQ(block.error, we::Success);
  EXPECT_NE(pv::loadLe32(block.data.data() + 24), 19u);  // hardware version: not a Studio
  EXPECT_EQ(pv::loadLe32(block.data.data() + 20), serial);
}

TEST_F(HotPlugTest, EveryChangeBumpsTheGenerationAndNotifiesSubscribers) {
  std::atomic<int> notified{0};
  auto subscription = client->subscribeBusChanges([&] { ++notified; });
  const uint32_t start = bus->generation();
  const uint32_t serial = plug();
  bus->unplug(serial);
  EXPECT_EQ(bus->generation(), start + 2);
  EXPECT_EQ(notified, 2);
  subscription.reset();
  plug();
  EXPECT_EQ(notified, 2);
}

TEST_F(HotPlugTest, SubscribersMayCallBackIntoTheBus) {
  std::vector<size_t> seen;
  auto subscription = client->subscribeBusChanges([&] {
    std::vector<std::string> paths;
    EXPECT_EQ(client->presentInterfaces(pv::kInterfaceGuid, paths), platform::win_error::Success);
    seen.push_back(paths.size());
  });
  plug();
  plug();
  EXPECT_EQ(seen, (std::vector<size_t>{1, 2}));
}

}  // namespace
}  // namespace simbus::test
