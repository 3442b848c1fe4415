// Resetting a unit into its boot loader and back, reopening it when it left the bus, and
// cycling its device node.
#include "fwdl/device_enumeration.h"
#include "platform/win_error.h"
#include "tests/fwdl/unit_fixture.h"

namespace fwdl::test {
namespace {

using simbus::FaultAction;
using simbus::TransferKind;

class UnitResetTest : public UnitFixture {
 protected:
  KvoFwdlDevice& open(uint32_t protocol) {
    serial_ = plug(protocol);
    EXPECT_EQ(enumeration_.Enumerate(pv::kInterfaceGuidText), KVOFWDL_STATUS_SUCCESS);
    EXPECT_EQ(enumeration_.OpenDevice(0), KVOFWDL_STATUS_SUCCESS);
    return *enumeration_.OpenUnit();
  }

  KVOFWDL_STATUS reset(KvoFwdlDevice& unit, uint32_t protocol, int type) {
    return protocol == 3 ? unit.ResetProt3(type) : unit.ResetProt1and2(type);
  }

  void fault(FaultAction action, TransferKind kind, uint32_t skip = 0) {
    bus->addFault({.action = action,
                   .kind = kind,
                   .serial = serial_,
                   .skip = skip,
                   .count = 1,
                   .status = platform::win_error::GenFailure});
  }

  bool halted() { return unitState(serial_).bootloader().halted(); }

  DeviceEnumeration enumeration_;
  uint32_t serial_ = 0;
};

struct ResetCase {
  uint32_t protocol;
  bool reopens;
};

class ResetTest : public UnitResetTest, public ::testing::WithParamInterface<ResetCase> {};

TEST_P(ResetTest, HaltsAndStartsAgainReopeningOnlyAUnitThatLeft) {
  const uint32_t protocol = GetParam().protocol;
  KvoFwdlDevice& unit = open(protocol);
  ASSERT_EQ(reset(unit, protocol, RESET_HALT_IN_BOOTLOADER), KVOFWDL_STATUS_SUCCESS);
  EXPECT_TRUE(halted());
  EXPECT_EQ(unit.Info().BootloaderMode(), 1u);
  EXPECT_EQ(logged("INFO: KvoFwdlDevice::Reopen ..."), GetParam().reopens);
  ASSERT_EQ(reset(unit, protocol, RESET_START_APPLICATION), KVOFWDL_STATUS_SUCCESS);
  EXPECT_FALSE(halted());
  EXPECT_TRUE(unit.IsOpen());
}

INSTANTIATE_TEST_SUITE_P(Protocols, ResetTest,
                         ::testing::Values(ResetCase{1, false}, ResetCase{2, true},
                                           ResetCase{3, true}));

TEST_F(UnitResetTest, Prot3WaitsAMinuteForTheUnitToLeaveWhateverTheTimeOut) {
  KvoFwdlDevice& unit = open(3);
  EXPECT_EQ(unit.SetTimeout(TIMEOUT_RESET, 10), KVOFWDL_STATUS_SUCCESS);
  fault(FaultAction::NoAnswer, TransferKind::Reset);
  const uint32_t start = clock.tickCount();
  EXPECT_EQ(unit.ResetProt3(RESET_HALT_IN_BOOTLOADER), KVOFWDL_STATUS_RESET_TIMEOUT);
  EXPECT_EQ(clock.tickCount() - start, 500u + 60000u);
  EXPECT_TRUE(logged(
      "ERROR: ResetProt3: failed with timeout for given timeout period of 10 ms while waiting "
      "for device to come up"));
}

TEST_F(UnitResetTest, Prot1and2WithAShortTimeOutNeedsItsFirstReadToSucceed) {
  KvoFwdlDevice& unit = open(1);
  EXPECT_EQ(unit.SetTimeout(TIMEOUT_RESET, 10), KVOFWDL_STATUS_SUCCESS);
  ASSERT_EQ(unit.ResetProt1and2(RESET_HALT_IN_BOOTLOADER), KVOFWDL_STATUS_SUCCESS);
  fault(FaultAction::Fail, TransferKind::BlockRead);
  EXPECT_EQ(unit.ResetProt1and2(RESET_START_APPLICATION), KVOFWDL_STATUS_RESET_TIMEOUT);
  EXPECT_TRUE(logged("INFO: ResetProt1and2: Read return with result 0x0000001F"));
}

TEST_F(UnitResetTest, AUnitBackWithAnotherUniqueIdIsRefused) {
  KvoFwdlDevice& unit = open(3);
  fault(FaultAction::OtherId, TransferKind::Reset);
  EXPECT_EQ(unit.ResetProt3(RESET_HALT_IN_BOOTLOADER), KVOFWDL_STATUS_DEVICE_OPEN_FAILED);
  EXPECT_FALSE(unit.IsOpen());
  EXPECT_TRUE(
      logged("ERROR: GUID in info register of reopend device is different. Old GUID = "
             "0x0094137AA1860100, new GUID = 0x0094137AA1860180"));
}

TEST_F(UnitResetTest, AUnitThatNeverComesBackTimesOut) {
  KvoFwdlDevice& unit = open(3);
  fault(FaultAction::Remove, TransferKind::Reset);
  EXPECT_EQ(unit.ResetProt3(RESET_HALT_IN_BOOTLOADER), KVOFWDL_STATUS_RESET_TIMEOUT);
  EXPECT_TRUE(logged("ERROR: ResetProt3: Request failed"));
  EXPECT_TRUE(logged("ERROR: Reset: Reopen failed"));
}

struct ModeCase {
  const char* name;
  int type;
  KVOFWDL_STATUS status;
  const char* entry;
};

class WrongModeTest : public UnitResetTest, public ::testing::WithParamInterface<ModeCase> {};

// The unit ignores the reset and stays in the mode it was in.
TEST_P(WrongModeTest, IsReportedWithTheModeThatWasAskedFor) {
  KvoFwdlDevice& unit = open(1);
  if (GetParam().type == RESET_START_APPLICATION) {
    ASSERT_EQ(unit.ResetProt1and2(RESET_HALT_IN_BOOTLOADER), KVOFWDL_STATUS_SUCCESS);
  }
  fault(FaultAction::NoAnswer, TransferKind::Reset);
  EXPECT_EQ(unit.ResetProt1and2(GetParam().type), GetParam().status);
  EXPECT_TRUE(logged(GetParam().entry));
}

INSTANTIATE_TEST_SUITE_P(
    Modes, WrongModeTest,
    ::testing::Values(ModeCase{"NotHalted", RESET_HALT_IN_BOOTLOADER,
                               KVOFWDL_STATUS_BOOTLOADER_NOT_HALTED,
                               "ERROR: ResetProt1and2: bootloader couldn\xB4t halt in bootloader "
                               "modus"},
                      ModeCase{"NotStarted", RESET_START_APPLICATION,
                               KVOFWDL_STATUS_APPLICATION_NOT_STARTED,
                               "ERROR: ResetProt1and2: bootloader couldn\xB4t start downloaded "
                               "application"}),
    [](const auto& info) { return std::string(info.param.name); });

struct NodeCase {
  uint32_t installFlags;
  bool reboot;
};

class DeviceNodeTest : public UnitResetTest, public ::testing::WithParamInterface<NodeCase> {};

TEST_P(DeviceNodeTest, CyclingReportsWhetherARestartIsWanted) {
  KvoFwdlDevice& unit = open(3);
  bus->setInstallFlags(GetParam().installFlags);
  bool reboot = !GetParam().reboot;
  ASSERT_EQ(unit.Disable(reboot), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(reboot, GetParam().reboot);
  EXPECT_FALSE(unit.HasHandle());
  EXPECT_TRUE(unit.IsOpen());
  std::vector<std::string> paths;
  EXPECT_EQ(pv::client().presentInterfaces(pv::kInterfaceGuid, paths),
            platform::win_error::Success);
  EXPECT_TRUE(paths.empty());
  reboot = !GetParam().reboot;
  ASSERT_EQ(unit.Enable(reboot), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(reboot, GetParam().reboot);
  EXPECT_EQ(pv::client().presentInterfaces(pv::kInterfaceGuid, paths),
            platform::win_error::Success);
  EXPECT_EQ(paths.size(), 1u);
  EXPECT_TRUE(
      logged(GetParam().reboot ? "INFO: Reboot is required." : "INFO: Reboot is not required."));
}

INSTANTIATE_TEST_SUITE_P(Flags, DeviceNodeTest,
                         ::testing::Values(NodeCase{0, false}, NodeCase{0x80, true},
                                           NodeCase{0x100, true}, NodeCase{0x40, false}));

}  // namespace
}  // namespace fwdl::test
