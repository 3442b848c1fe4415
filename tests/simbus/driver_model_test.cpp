// The driver's control codes, on the control device and on unit device paths.
#include <cstring>

#include "bus_fixture.h"

namespace simbus::test {
namespace {

using DriverModelTest = BusFixture;

TEST_F(DriverModelTest, DriverInfoReportsTheSettableInterfaceVersion) {
  auto control = openControl();
  const uint32_t serial = plug();
  auto unit = openUnit(serial);
  for (auto [major, minor] : {std::pair{2, 14}, {2, 12}, {2, 13}, {3, 0}}) {
    bus->setDriverVersion(static_cast<uint8_t>(major), static_cast<uint8_t>(minor));
    for (pv::DeviceHandle* h : {control.get(), unit.get()}) {
      const Reply r = call(*h, pv::IOCTL_VHPD_GET_DRIVER_INFO, {}, std::vector<uint8_t>(12));
      ASSERT_EQ(r.error, we::Success);
      EXPECT_EQ(r.bytes, 12u);
      EXPECT_EQ(r.data[0], major);
      EXPECT_EQ(r.data[1], minor);
    }
  }
}

TEST_F(DriverModelTest, SampleRateIsReadAndSetThroughTheRecords) {
  auto control = openControl();
  Reply r = call(*control, pv::IOCTL_VHPD_GET_SAMPLE_RATE, {}, std::vector<uint8_t>(44));
  ASSERT_EQ(r.error, we::Success);
  EXPECT_EQ(pv::loadLe32(r.data.data() + 4), 48000u);

  std::vector<uint8_t> set(8, 0);
  pv::storeLe32(set.data() + 4, 88200);
  EXPECT_EQ(call(*control, pv::IOCTL_VHPD_SET_SAMPLE_RATE, set, {}).error, we::Success);
  EXPECT_EQ(bus->driver().sampleRate, 88200u);

  pv::storeLe32(set.data() + 4, 12345);
  EXPECT_EQ(call(*control, pv::IOCTL_VHPD_SET_SAMPLE_RATE, set, {}).error, we::InvalidParameter);
  EXPECT_EQ(bus->driver().sampleRate, 88200u);
}

TEST_F(DriverModelTest, StreamCountersFollowStreamingAndStopAllDevices) {
  auto control = openControl();
  auto counters = [&] {
    const Reply r = call(*control, pv::IOCTL_VHPD_GET_STREAM_COUNTERS, {}, std::vector<uint8_t>(8));
    EXPECT_EQ(r.error, we::Success);
    return pv::loadLe32(r.data.data()) + pv::loadLe32(r.data.data() + 4);
  };
  EXPECT_EQ(counters(), 0u);
  bus->setStreaming(true);
  EXPECT_NE(counters(), 0u);
  EXPECT_EQ(call(*control, pv::IOCTL_VHPD_STOP_ALL_DEVICES, {}, {}).error, we::Success);
  EXPECT_EQ(counters(), 0u);
  EXPECT_EQ(call(*control, pv::IOCTL_VHPD_START_ALL_DEVICES, {}, {}).error, we::Success);
  EXPECT_NE(counters(), 0u);
}

TEST_F(DriverModelTest, RequestsOnTheWrongChannelOrWithShortBuffersAreRefused) {
  auto control = openControl();
  auto unit = openUnit(plug());
  struct Case {
    pv::DeviceHandle* handle;
    uint32_t code;
    size_t outputSize;
    uint32_t error;
  } cases[] = {
      {control.get(), pv::IOCTL_VHPD_ASYNC_READ, 4, we::InvalidFunction},
      {control.get(), pv::IOCTL_VHPD_GET_DEVICE_FLAGS, 4, we::InvalidFunction},
      {unit.get(), pv::IOCTL_VHPD_GET_SAMPLE_RATE, 44, we::InvalidFunction},
      {unit.get(), pv::IOCTL_VHPD_STOP_ALL_DEVICES, 0, we::InvalidFunction},
      {control.get(), pv::IOCTL_VHPD_GET_SAMPLE_RATE, 43, we::InsufficientBuffer},
      {unit.get(), pv::IOCTL_VHPD_GET_DEVICE_PROPERTIES, 431, we::InsufficientBuffer},
      {unit.get(), pv::IOCTL_VHPD_FCP_TRANSACTION, 516, we::InvalidParameter},  // no request
      {unit.get(), 0x80882FFF, 4, we::InvalidFunction},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(call(*c.handle, c.code, {}, std::vector<uint8_t>(c.outputSize)).error, c.error)
        << std::hex << c.code;
  }
}

TEST_F(DriverModelTest, UnitQueriesDescribeTheUnit) {
  const uint32_t serial = plug(Model::Compact);
  auto unit = openUnit(serial);
  Reply props = call(*unit, pv::IOCTL_VHPD_GET_DEVICE_PROPERTIES, {}, std::vector<uint8_t>(432));
  ASSERT_EQ(props.error, we::Success);
  EXPECT_EQ(props.bytes, 432u);
  EXPECT_STREQ(reinterpret_cast<const char*>(props.data.data() + 88), "Velmora PRO Compact");
  EXPECT_STREQ(reinterpret_cast<const char*>(props.data.data() + 344), "Corvane");
  EXPECT_EQ(call(*unit, pv::IOCTL_VHPD_GET_DEVICE_FLAGS, {}, std::vector<uint8_t>(4)).error,
            we::Success);

  auto generation = [&] {
    return pv::loadLe32(
        call(*unit, pv::IOCTL_VHPD_GET_RESET_GENERATION_COUNT, {}, std::vector<uint8_t>(4))
            .data.data());
  };
  const uint32_t before = generation();
  plug(Model::Studio);
  EXPECT_EQ(generation(), before + 1);
}

TEST_F(DriverModelTest, ControlDeviceNameIsTheInterfaceGuidInAnyCase) {
  std::unique_ptr<pv::DeviceHandle> h;
  EXPECT_EQ(
      client->open("\\\\.\\{d4647551-a610-4623-ad1e-2f4a94efe734}", pv::OpenMode::Synchronous, h),
      we::Success);
  EXPECT_EQ(
      client->open("\\\\.\\{00000000-a610-4623-ad1e-2f4a94efe734}", pv::OpenMode::Synchronous, h),
      we::FileNotFound);
}

TEST_F(DriverModelTest, SettingsKeysOfBothModelsExistAndKeepValues) {
  uint32_t value = 0;
  EXPECT_EQ(client->openDriverSettingsKey(kStudioSettingsKey), we::Success);
  EXPECT_EQ(client->openDriverSettingsKey(kCompactSettingsKey), we::Success);
  EXPECT_EQ(client->openDriverSettingsKey("SYSTEM\\Nothing"), we::FileNotFound);
  EXPECT_EQ(client->readDriverSetting(kStudioSettingsKey, kSampleRateValue, value),
            we::FileNotFound);
  EXPECT_EQ(client->writeDriverSetting(kStudioSettingsKey, kSampleRateValue, 88200), we::Success);
  EXPECT_EQ(client->readDriverSetting(kStudioSettingsKey, "samplerate[hz]", value), we::Success);
  EXPECT_EQ(value, 88200u);
  EXPECT_EQ(client->writeDriverSetting("SYSTEM\\Nothing", kSampleRateValue, 1), we::FileNotFound);
}

TEST_F(DriverModelTest, AnAbsentSettingsKeyRefusesEveryAccessAndKeepsItsValues) {
  ASSERT_EQ(client->writeDriverSetting(kStudioSettingsKey, kSampleRateValue, 88200), we::Success);
  ASSERT_TRUE(bus->setSettingsKeyPresent(Model::Studio, false));
  EXPECT_FALSE(bus->settingsKeyPresent(Model::Studio));
  uint32_t value = 0;
  EXPECT_EQ(client->openDriverSettingsKey(kStudioSettingsKey), we::FileNotFound);
  EXPECT_EQ(client->readDriverSetting(kStudioSettingsKey, kSampleRateValue, value),
            we::FileNotFound);
  EXPECT_EQ(client->writeDriverSetting(kStudioSettingsKey, kSampleRateValue, 96000),
            we::FileNotFound);
  EXPECT_EQ(client->openDriverSettingsKey(kCompactSettingsKey), we::Success);  // the other model

  ASSERT_TRUE(bus->setSettingsKeyPresent(Model::Studio, true));
  EXPECT_EQ(client->readDriverSetting(kStudioSettingsKey, kSampleRateValue, value), we::Success);
  EXPECT_EQ(value, 88200u);
  EXPECT_EQ(bus->storedRate(Model::Studio), 88200u);
}

TEST_F(DriverModelTest, RestartReloadsTheStoredRateAndInvalidatesHandles) {
  const uint32_t serial = plug();
  auto unit = openUnit(serial);
  ASSERT_EQ(client->writeDriverSetting(kStudioSettingsKey, kSampleRateValue, 96000), we::Success);
  EXPECT_EQ(client->requestRestart(), we::Success);
  EXPECT_EQ(bus->driver().sampleRate, 96000u);
  EXPECT_EQ(bus->driver().restarts, 1u);
  EXPECT_NE(read(*unit, kInfoBlockAddress, 104).error, we::Success);
  EXPECT_EQ(read(*openUnit(serial), kInfoBlockAddress, 104).error, we::Success);
}

// As on Windows: a disabled node's interface is not present, so the node is found only by an
// enumeration made before the disable, and enabled through what that enumeration gave.
TEST_F(DriverModelTest, ADisabledNodeIsEnabledOnlyThroughTheNodeKeptFromItsEnumeration) {
  const uint32_t serial = plug();
  const std::string path = SimBus::devicePath(uint64_t{kDefaultSerialHigh} << 32 | serial);
  auto before = openUnit(serial);
  bus->setInstallFlags(pv::DI_NEEDRESTART);
  std::vector<pv::PresentInterface> kept;
  ASSERT_EQ(client->presentDeviceNodes(pv::kInterfaceGuid, kept), we::Success);
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(kept[0].path, path);

  ASSERT_EQ(kept[0].node->changeState(pv::DeviceNodeChange::Disable), we::Success);
  std::vector<std::string> paths;
  EXPECT_EQ(client->presentInterfaces(pv::kInterfaceGuid, paths), platform::win_error::Success);
  EXPECT_TRUE(paths.empty());
  std::vector<pv::PresentInterface> later;
  ASSERT_EQ(client->presentDeviceNodes(pv::kInterfaceGuid, later), we::Success);
  EXPECT_TRUE(later.empty()) << "a disabled node was found again";
  std::unique_ptr<pv::DeviceHandle> h;
  EXPECT_EQ(client->open(path, pv::OpenMode::Overlapped, h), we::FileNotFound);

  ASSERT_EQ(kept[0].node->changeState(pv::DeviceNodeChange::Enable), we::Success);
  uint32_t flags = 0;
  EXPECT_EQ(kept[0].node->installFlags(flags), we::Success);
  EXPECT_EQ(flags, pv::DI_NEEDRESTART);
  EXPECT_EQ(read(*before, kInfoBlockAddress, 4).error, pv::KVO_STATUS_DEVICE_REMOVED);
  EXPECT_EQ(read(*openUnit(serial), kInfoBlockAddress, 4).error, we::Success);
  EXPECT_EQ(bus->deviceInstallFlags(12345, flags), we::NotFound);
}

}  // namespace
}  // namespace simbus::test
