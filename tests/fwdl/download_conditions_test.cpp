// Whether a firmware file may go to a unit: protocol and file version, hardware and vendor,
// the CnE block, and the downgrade note.
#include <cstring>

#include "fwdl/device_enumeration.h"
#include "fwdl/kvo_fwdl_downloader.h"
#include "tests/fwdl/tampering_client.h"
#include "tests/fwdl/unit_fixture.h"

namespace fwdl::test {
namespace {

// A downloader set up with a mode and skip flags, as a started download would be.
class SetUpDownloader : public KvoFwdlDownloader {
 public:
  using KvoFwdlDownloader::KvoFwdlDownloader;
  void SetUp(uint32_t mode, bool skipHardware, bool skipVendor) {
    mode_ = mode;
    skipHardwareCheck_ = skipHardware;
    skipVendorCheck_ = skipVendor;
  }
};

struct ConditionCase {
  const char* name;
  uint32_t protocol;
  uint32_t unitSoftwareId;
  uint32_t unitFirmware;
  std::function<void(tools::kwf::KwfSpec&)> change;  // to a file that fits the protocol
  uint32_t mode;
  bool skipHardware;
  bool skipVendor;
  uint32_t conditions;
};

class DownloadConditionsTest : public UnitFixture,
                               public ::testing::WithParamInterface<ConditionCase> {};

TEST_P(DownloadConditionsTest, AreTheBitsOfTheCase) {
  const ConditionCase& c = GetParam();
  const uint32_t serial = plug(c.protocol, c.unitFirmware);
  bus->withUnit(serial, [&](simbus::SimUnit& u) { u.setSoftwareId(c.unitSoftwareId); });
  tools::kwf::KwfSpec spec = StudioFile(c.protocol == 3 ? 1 : 0);
  c.change(spec);
  KwfFile file;
  ASSERT_EQ(file.Open(writeKwf(spec)), KVOFWDL_STATUS_SUCCESS);
  DeviceEnumeration enumeration;
  ASSERT_EQ(enumeration.Enumerate(pv::kInterfaceGuidText), KVOFWDL_STATUS_SUCCESS);
  ASSERT_EQ(enumeration.OpenDevice(0), KVOFWDL_STATUS_SUCCESS);
  SetUpDownloader downloader(enumeration);
  downloader.SetUp(c.mode, c.skipHardware, c.skipVendor);
  uint32_t conditions = 0xFFFFFFFF;
  ASSERT_EQ(downloader.CheckDownload(&file, enumeration.OpenUnit(), conditions),
            KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(conditions, c.conditions) << std::hex << conditions;
}

auto Same = [](tools::kwf::KwfSpec&) {};
auto VersionOne = [](tools::kwf::KwfSpec& s) { s.version = 1; };
auto VersionZero = [](tools::kwf::KwfSpec& s) { s.version = 0; };
auto Compact = [](tools::kwf::KwfSpec& s) { s.compatibleHardwareVersion = 0x14; };
auto OtherVendor = [](tools::kwf::KwfSpec& s) { s.nodeVendorId = 0x123456; };
auto NoCnE = [](tools::kwf::KwfSpec& s) { s.cnE.reset(); };
auto Firmware20120C2 = [](tools::kwf::KwfSpec& s) { s.firmwareVersion = 0x020120C2; };

INSTANTIATE_TEST_SUITE_P(
    Cases, DownloadConditionsTest,
    ::testing::Values(
        ConditionCase{"Prot3Fits", 3, 3, kUnitFirmware, Same, MODE_NONE, false, false, 0},
        ConditionCase{"Prot1Fits", 1, 3, kUnitFirmware, Same, MODE_NONE, false, false, 0},
        ConditionCase{"Prot1WithVersion1File", 1, 3, kUnitFirmware, VersionOne, MODE_NONE, false,
                      false, 0x41},
        ConditionCase{"Prot2WithVersion1File", 2, 3, kUnitFirmware, VersionOne, MODE_PROGRAM, false,
                      false, 0x41},
        ConditionCase{"Prot3WithVersion0File", 3, 3, kUnitFirmware, VersionZero, MODE_NONE, false,
                      false, 0x41},
        ConditionCase{"Prot1OtherHardware", 1, 3, kUnitFirmware, Compact, MODE_NONE, false, false,
                      0x11},
        ConditionCase{"Prot1OtherHardwareSkipped", 1, 3, kUnitFirmware, Compact, MODE_NONE, true,
                      false, 0},
        ConditionCase{"Prot3OtherHardwareSkipped", 3, 3, kUnitFirmware, Compact, MODE_NONE, true,
                      false, 0},
        ConditionCase{"Prot3OtherVendor", 3, 3, kUnitFirmware, OtherVendor, MODE_NONE, false, false,
                      0x21},
        ConditionCase{"Prot3OtherVendorSkipped", 3, 3, kUnitFirmware, OtherVendor, MODE_NONE, false,
                      true, 0},
        ConditionCase{"Prot3OtherHardwareAndVendor", 3, 3, kUnitFirmware,
                      [](tools::kwf::KwfSpec& s) {
                        Compact(s);
                        OtherVendor(s);
                      },
                      MODE_NONE, false, false, 0x31},
        ConditionCase{"Downgrade", 3, 3, 0x020120C3, Firmware20120C2, MODE_NONE, false, false,
                      0x08},
        ConditionCase{"SameVersion", 3, 3, kNewFirmware, Same, MODE_NONE, false, false, 0},
        ConditionCase{"OlderSoftwareId", 3, 6, kUnitFirmware, Same, MODE_NONE, false, false, 0x08},
        ConditionCase{"ModeNoneNeverAsksForCnE", 3, 0, kUnitFirmware, NoCnE, MODE_NONE, false,
                      false, 0},
        ConditionCase{"ProgramForAUnitWithoutSoftwareId", 3, 0, kUnitFirmware, Same, MODE_PROGRAM,
                      false, false, 0x02},
        ConditionCase{"ProgramForAUnitWithoutSoftwareIdNoCnE", 3, 0, kUnitFirmware, NoCnE,
                      MODE_PROGRAM, false, false, 0x06},
        ConditionCase{"ProgramForTheSameSoftwareId", 3, 3, kUnitFirmware, NoCnE, MODE_PROGRAM,
                      false, false, 0},
        ConditionCase{"ProgramForAnotherSoftwareId", 3, 6, kUnitFirmware, Same, MODE_PROGRAM, false,
                      false, 0x0A},
        ConditionCase{"ProgramAndCnE", 1, 3, kUnitFirmware, Same, MODE_PROGRAM_AND_CNE, false,
                      false, 0x02},
        ConditionCase{"CnEOnlyWithoutCnE", 1, 3, kUnitFirmware, NoCnE, MODE_CNE, false, false,
                      0x06},
        ConditionCase{"Bootloader", 1, 3, kUnitFirmware, NoCnE, MODE_BOOTLOADER, false, false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

using UnsupportedProtocolTest = UnitFixture;

TEST_F(UnsupportedProtocolTest, IsAConditionOfItsOwn) {
  plug(3);
  pv::ScopedClient protocol4(std::make_shared<TamperingClient>(
      simbus::makeInprocClient(bus), [](uint64_t address, std::span<uint8_t> data, auto&) {
        if (address == kInfoBlockAddress) data[unit_info::kProtocolVersion] = 4;
      }));
  KwfFile file;
  ASSERT_EQ(file.Open(writeKwf(StudioFile(1))), KVOFWDL_STATUS_SUCCESS);
  DeviceEnumeration enumeration;
  ASSERT_EQ(enumeration.Enumerate(pv::kInterfaceGuidText), KVOFWDL_STATUS_SUCCESS);
  ASSERT_EQ(enumeration.OpenDevice(0), KVOFWDL_STATUS_SUCCESS);
  KvoFwdlDownloader downloader(enumeration);
  uint32_t conditions = 0;
  ASSERT_EQ(downloader.CheckDownload(&file, enumeration.OpenUnit(), conditions),
            KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(conditions, 0x81u);
  EXPECT_TRUE(logged("INFO: CheckDownload: device with unsupported protocol version 4"));
}

TEST_F(UnsupportedProtocolTest, NeedsAnOpenFileAndAnOpenUnit) {
  DeviceEnumeration enumeration;
  KvoFwdlDownloader downloader(enumeration);
  KwfFile file;
  uint32_t conditions = 0x5A;
  EXPECT_EQ(downloader.CheckDownload(&file, nullptr, conditions), KVOFWDL_STATUS_FILE_NOT_OPEN);
  ASSERT_EQ(file.Open(writeKwf(StudioFile(1))), KVOFWDL_STATUS_SUCCESS);
  KvoFwdlDevice closed;
  EXPECT_EQ(downloader.CheckDownload(&file, &closed, conditions), KVOFWDL_STATUS_DEVICE_NOT_OPEN);
  EXPECT_EQ(conditions, 0x5Au);
}

}  // namespace
}  // namespace fwdl::test
