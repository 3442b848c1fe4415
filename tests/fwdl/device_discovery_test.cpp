// Finding the units, opening one with the driver and manufacturer checks, describing it, and
// the driver's control device.
#include <cstring>

#include "fwdl/device_enumeration.h"
#include "fwdl/guid_string.h"
#include "fwdl/kvo_static_device.h"
#include "tests/fwdl/tampering_client.h"
#include "tests/fwdl/unit_fixture.h"

namespace fwdl::test {
namespace {

using DeviceDiscoveryTest = UnitFixture;

TEST_F(DeviceDiscoveryTest, EnumerationCountsUnitsAndKeepsOneOpen) {
  plug();
  plug();
  DeviceEnumeration enumeration;
  uint32_t count = 99;
  ASSERT_EQ(enumeration.Enumerate(pv::kInterfaceGuidText), KVOFWDL_STATUS_SUCCESS);
  ASSERT_EQ(enumeration.CountDevices(count), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(count, 2u);
  EXPECT_EQ(enumeration.Enumerate(pv::kInterfaceGuidText), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(enumeration.OpenDevice(1), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(enumeration.OpenDevice(0), KVOFWDL_STATUS_DEVICE_ALREADY_OPEN);
  EXPECT_EQ(enumeration.Enumerate(pv::kInterfaceGuidText), KVOFWDL_STATUS_DEVICE_STILL_OPEN);
  enumeration.CloseDevice();
  EXPECT_EQ(enumeration.Enumerate(pv::kInterfaceGuidText), KVOFWDL_STATUS_SUCCESS);
}

struct GuidCase {
  const char* text;
  bool valid;
};

class GuidStringTest : public UnitFixture, public ::testing::WithParamInterface<GuidCase> {};

TEST_P(GuidStringTest, OnlyTheRegistryFormatIsRead) {
  pv::Guid guid;
  EXPECT_EQ(GuidFromString(GetParam().text, guid), GetParam().valid ? 0u : 1u);
  if (GetParam().valid) {
    EXPECT_EQ(guid, pv::kInterfaceGuid);
  }
  DeviceEnumeration enumeration;
  EXPECT_EQ(enumeration.Enumerate(GetParam().text),
            GetParam().valid ? KVOFWDL_STATUS_SUCCESS : KVOFWDL_STATUS_INVALID_GUID_STRING);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, GuidStringTest,
    ::testing::Values(GuidCase{"{D4647551-A610-4623-AD1E-2F4A94EFE734}", true},
                      GuidCase{"{d4647551-a610-4623-ad1e-2f4a94efe734}", true},
                      GuidCase{"D4647551-A610-4623-AD1E-2F4A94EFE734", false},
                      GuidCase{"{D4647551-A610-4623-AD1E2F4A94EFE734}", false},
                      GuidCase{"{D4647551-A610-4623-AD1E-2F4A94EFE73G}", false},
                      GuidCase{"{D4647551-A610-4623-AD1E-2F4A94EFE734}x", false},
                      GuidCase{"", false}, GuidCase{nullptr, false}));

TEST(ControlDeviceNameTest, IsTheGuidInLowerCaseAfterTheDevicePrefix) {
  EXPECT_EQ(ControlDeviceName(pv::kInterfaceGuid), "\\\\.\\{d4647551-a610-4623-ad1e-2f4a94efe734}");
}

// How opening unit `index` ends on a bus prepared by `prepare`.
struct OpenCase {
  const char* name;
  std::function<void(simbus::SimBus&, uint32_t serial)> prepare;
  uint32_t index;
  KVOFWDL_STATUS status;
  const char* entry;  // a log entry the failure leaves
};

class OpenTest : public UnitFixture, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(OpenTest, EndsWithItsStatusAndLeavesAFailedUnitClosed) {
  const uint32_t serial = plug();
  GetParam().prepare(*bus, serial);
  DeviceEnumeration enumeration;
  ASSERT_EQ(enumeration.Enumerate(pv::kInterfaceGuidText), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(enumeration.OpenDevice(GetParam().index), GetParam().status);
  EXPECT_EQ(enumeration.OpenUnit() != nullptr, GetParam().status == KVOFWDL_STATUS_SUCCESS);
  if (*GetParam().entry) {
    EXPECT_TRUE(logged(GetParam().entry)) << ::testing::PrintToString(entries());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Units, OpenTest,
    ::testing::Values(OpenCase{"Accepted", [](simbus::SimBus&, uint32_t) {}, 0,
                               KVOFWDL_STATUS_SUCCESS, ""},
                      OpenCase{"PastTheLastUnit", [](simbus::SimBus&, uint32_t) {}, 1,
                               KVOFWDL_STATUS_DEVICE_OPEN_FAILED,
                               "ERROR: open device failed with VHPD_STATUS = 0xE0008010"},
                      OpenCase{"DriverVersion2_13",
                               [](simbus::SimBus& b, uint32_t) { b.setDriverVersion(2, 13); }, 0,
                               KVOFWDL_STATUS_DRIVER_OPEN_FAILED,
                               "ERROR: open device failed with VHPD_STATUS = 0xE0000014"},
                      OpenCase{"DriverVersion3_14",
                               [](simbus::SimBus& b, uint32_t) { b.setDriverVersion(3, 14); }, 0,
                               KVOFWDL_STATUS_DRIVER_OPEN_FAILED, ""},
                      OpenCase{"DriverVersion2_15",
                               [](simbus::SimBus& b, uint32_t) { b.setDriverVersion(2, 15); }, 0,
                               KVOFWDL_STATUS_SUCCESS, ""},
                      OpenCase{"InformationBlockUnreadable",
                               [](simbus::SimBus& b, uint32_t serial) {
                                 b.addFault({.action = simbus::FaultAction::Fail,
                                             .kind = simbus::TransferKind::BlockRead,
                                             .serial = serial,
                                             .skip = 0,
                                             .count = 1,
                                             .status = 31});
                               },
                               0, KVOFWDL_STATUS_DEVICE_READ_FAILED,
                               "ERROR: ReadDeviceInfo: Read failed with error 0x0000001F: address "
                               "0xFFFFC8020000"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DeviceDiscoveryTest, AUnitOfAnotherMakerIsRefused) {
  plug();
  pv::ScopedClient odd(std::make_shared<TamperingClient>(
      simbus::makeInprocClient(bus), [](uint64_t address, std::span<uint8_t> data, auto&) {
        if (address == kInfoBlockAddress) std::memcpy(data.data(), "tarnwicK", 8);
      }));
  DeviceEnumeration enumeration;
  ASSERT_EQ(enumeration.Enumerate(pv::kInterfaceGuidText), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(enumeration.OpenDevice(0), KVOFWDL_STATUS_WRONG_MANUFACTURER);
  EXPECT_EQ(enumeration.OpenUnit(), nullptr);
  EXPECT_TRUE(logged(
      "ERROR: Open: unexpected manufacturer ID 0x7461726e7769634b of the device. Expected ID is "
      "0x7461726e7769636b."));
}

TEST_F(DeviceDiscoveryTest, DeviceInfoDescribesTheUnit) {
  const uint32_t serial = plug(2, 0x02030004);
  DeviceEnumeration enumeration;
  ASSERT_EQ(enumeration.Enumerate(pv::kInterfaceGuidText), KVOFWDL_STATUS_SUCCESS);
  ASSERT_EQ(enumeration.OpenDevice(0), KVOFWDL_STATUS_SUCCESS);
  KVOFWDL_DEVICE_INFO info;
  std::memset(&info, 0xAA, sizeof info);
  ASSERT_EQ(enumeration.OpenUnit()->GetDeviceInfo(&info, false), KVOFWDL_STATUS_SUCCESS);
  EXPECT_STREQ(info.DeviceText1, "Velmora PRO Studio");
  EXPECT_STREQ(info.DeviceText2, "Corvane");
  EXPECT_STREQ(info.ManufacturerId, "tarnwick");
  EXPECT_EQ(info.ProtocolVersion, 2u);
  EXPECT_EQ(info.BootloaderMode, 0u);
  const uint8_t uniqueId[8] = {0x7A,
                               0x13,
                               0x94,
                               0x00,
                               static_cast<uint8_t>(serial >> 24),
                               static_cast<uint8_t>(serial >> 16),
                               static_cast<uint8_t>(serial >> 8),
                               static_cast<uint8_t>(serial)};
  EXPECT_EQ(std::memcmp(info.UniqueId, uniqueId, 8), 0);
  EXPECT_EQ(info.HardwareModelID, 0x13u);
  EXPECT_STREQ(info.BuildStamp1Date, "20261101");
  EXPECT_STREQ(info.BuildStamp1Time, "12000000");
  EXPECT_EQ(info.SoftwareId, 3u);
  EXPECT_EQ(info.FirmwareVersion, 0x02030004u);
  EXPECT_EQ(info.MaxImageLength, 0x00200000u);
  EXPECT_STREQ(info.BuildStamp3Time, "12000000");
  EXPECT_EQ(info.AuxWord4, 0u);
}

struct WaitCase {
  const char* name;
  simbus::FaultAction action;
  uint32_t delayMs;
  uint32_t waitMs;
  uint32_t result;
};

class BoundedWaitTest : public UnitFixture, public ::testing::WithParamInterface<WaitCase> {};

// A transfer the driver answers late or never ends when the wait does, with a time-out.
TEST_P(BoundedWaitTest, EndsAnUnansweredTransfer) {
  const uint32_t serial = plug();
  DeviceEnumeration enumeration;
  ASSERT_EQ(enumeration.Enumerate(pv::kInterfaceGuidText), KVOFWDL_STATUS_SUCCESS);
  ASSERT_EQ(enumeration.OpenDevice(0), KVOFWDL_STATUS_SUCCESS);
  bus->addFault(
      {GetParam().action, simbus::TransferKind::BlockRead, serial, 0, 1, 0, GetParam().delayMs});
  std::array<uint8_t, 16> buffer{};
  uint32_t transferred = 99;
  EXPECT_EQ(enumeration.OpenUnit()->AsyncReadSync(kInfoBlockAddress, buffer.data(), buffer.size(),
                                                  transferred, GetParam().waitMs),
            GetParam().result);
  EXPECT_EQ(transferred, GetParam().result == 0 ? buffer.size() : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Waits, BoundedWaitTest,
    ::testing::Values(
        WaitCase{"LateWithinTheWait", simbus::FaultAction::Delay, 200, 500, 0},
        WaitCase{"LateBeyondTheWait", simbus::FaultAction::Delay, 900, 500, pv::KVO_STATUS_TIMEOUT},
        WaitCase{"Never", simbus::FaultAction::Drop, 0, 500, pv::KVO_STATUS_TIMEOUT},
        WaitCase{"LateWithoutBound", simbus::FaultAction::Delay, 90000, kWaitForever, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DeviceDiscoveryTest, TheControlDeviceStopsAndStartsTheAudioDevices) {
  plug();
  bus->setStreaming(true);
  auto streaming = [&] {
    std::unique_ptr<pv::DeviceHandle> control;
    EXPECT_EQ(pv::client().open(ControlDeviceName(pv::kInterfaceGuid), pv::OpenMode::Synchronous,
                                control),
              platform::win_error::Success);
    std::array<uint8_t, pv::kStreamCountersSize> counters{};
    pv::completeIo(control->ioControl(pv::IOCTL_VHPD_GET_STREAM_COUNTERS, {}, counters));
    return counters[0] != 0;
  };
  KvoStaticDevice driver(ControlDeviceName(pv::kInterfaceGuid));
  ASSERT_EQ(driver.StopAllDevices(), KVOFWDL_STATUS_SUCCESS);
  EXPECT_FALSE(streaming());
  ASSERT_EQ(driver.StartAllDevices(), KVOFWDL_STATUS_SUCCESS);
  EXPECT_TRUE(streaming());
  KvoStaticDevice nowhere("\\\\.\\{00000000-0000-0000-0000-000000000000}");
  EXPECT_EQ(nowhere.StopAllDevices(), KVOFWDL_STATUS_FAILED);
}

}  // namespace
}  // namespace fwdl::test
