// velmoractl firmware check and firmware update, with the download library's internals in the
// test's process so that they run on its bus and fake clock.
#include "cli/firmware_library.h"
#include "cli_fixture.h"
#include "fwdl/library_api.h"
#include "fwdl/logging/library_log.h"
#include "tests/support/scratch.h"

namespace velmoractl::test {
namespace {

constexpr uint32_t kShippedFirmware = 0x020110CC;  // 2.1.4300

constexpr FirmwareLibrary kInternals{
    fwdl::api::EnableLogging, fwdl::api::GetKwfFileInfo,    fwdl::api::EnumerateDevices,
    fwdl::api::GetDeviceInfo, fwdl::api::OpenDevice,        fwdl::api::CheckDownload,
    fwdl::api::StartDownload, fwdl::api::GetDownloadStatus, fwdl::api::CloseDevice,
};

class FirmwareUpdateTest : public CliFixture {
 protected:
  FirmwareUpdateTest() { fwdl::InitLogging(""); }
  ~FirmwareUpdateTest() override {
    fwdl::api::TearDown();
    fwdl::ShutdownLogging();
  }

  void plug(uint32_t firmware = 0x02000FA0, simbus::Model model = simbus::Model::Studio) {
    bus->plug({model, 0, simbus::kDefaultSerialHigh, 3, firmware});
  }
  uint32_t firmware() const { return bus->units()[0].firmware; }

  ScopedFirmwareLibrary useInternals{kInternals};
};

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST_F(FirmwareUpdateTest, CheckDescribesUnitAndFileAndGivesTheVerdict) {
  plug();
  const Outcome r = run(firmwareCheckCommand, {STUDIO_KWF});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(Has(r.out,
                  "unit 0       Velmora PRO Studio 100001, protocol 3, firmware 2.0.4000, software "
                  "id 3\nfile         firmware 2.1.4300 for the Velmora PRO Studio, software id 3, "
                  "built 20240611 104500\nconditions   0x00000000: fits\nverdict      the file "
                  "can be downloaded (an update)\n"))
      << r.out;
}

struct CheckCase {
  const char* name;
  uint32_t unitFirmware;
  Args args;
  int code;
  const char* text;  // in the output or the error
};

class CheckTest : public FirmwareUpdateTest, public ::testing::WithParamInterface<CheckCase> {};

TEST_P(CheckTest, TellsWhatTheLibraryFound) {
  plug(GetParam().unitFirmware);
  const Outcome r = run(firmwareCheckCommand, GetParam().args);
  EXPECT_EQ(r.code, GetParam().code);
  EXPECT_TRUE(Has(r.out + r.err, GetParam().text)) << r.out << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CheckTest,
    ::testing::Values(
        CheckCase{"OtherModel",
                  0x02000FA0,
                  {COMPACT_KWF},
                  1,
                  "conditions   0x00000011: not possible; made for another model\nverdict      "
                  "the file cannot be downloaded to this unit"},
        CheckCase{"Downgrade",
                  0x03000000,
                  {STUDIO_KWF},
                  0,
                  "0x00000008: older than the unit's firmware\nverdict      the file can be "
                  "downloaded (a downgrade)"},
        CheckCase{"SameFirmware", kShippedFirmware, {STUDIO_KWF}, 0, "(a re-install)"},
        CheckCase{"MissingFile",
                  0x02000FA0,
                  {"/nonexistent/x.kwf"},
                  1,
                  "reading the firmware file /nonexistent/x.kwf failed: status 3 "
                  "(KVOFWDL_STATUS_FILE_NOT_FOUND); the library log is "},
        CheckCase{"NoSuchUnit",
                  0x02000FA0,
                  {"--unit", "1", STUDIO_KWF},
                  1,
                  "no unit 1 on the bus (1 found)"},
        CheckCase{"NoFile", 0x02000FA0, {}, 2, "name one firmware file"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FirmwareUpdateTest, UpdateDownloadsTheFileWithProgressAndTheFinalStatus) {
  plug();
  const Outcome r = run(firmwareUpdateCommand, {STUDIO_KWF});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(Has(r.out, "updating unit 0 from firmware 2.0.4000 to 2.1.4300\n")) << r.out;
  EXPECT_TRUE(Has(r.out,
                  "downloaded 1351680 of 1351680 bytes (100%)\nfirmware update finished: status "
                  "0 (KVOFWDL_STATUS_SUCCESS)\n"))
      << r.out;
  EXPECT_EQ(firmware(), kShippedFirmware);
}

// A unit whose program write was cut off runs no firmware: it is listed as in its boot loader,
// and an update installs the file without the version questions.
TEST_F(FirmwareUpdateTest, AUnitLeftInItsBootLoaderIsShownAsSuchAndRecovered) {
  plug(kShippedFirmware);
  const uint32_t serial = bus->units()[0].serialLow;
  bus->withUnit(serial,
                [](simbus::SimUnit& unit) { unit.bootloader().setApplicationMissing(true); });
  bus->unplug(serial);
  bus->plug({simbus::Model::Studio, serial, simbus::kDefaultSerialHigh, 3});

  const Outcome units = run(unitsCommand, {});
  EXPECT_TRUE(Has(units.out, "Studio   3         in boot loader\n")) << units.out;
  const Outcome json = run(unitsCommand, {"--json"});
  EXPECT_TRUE(Has(json.out, "\"firmware\": \"in boot loader\", \"inBootLoader\": true"))
      << json.out;
  const Outcome status = run(statusCommand, {});
  EXPECT_EQ(status.code, 0) << status.err;
  EXPECT_TRUE(Has(status.out, "firmware      in boot loader")) << status.out;

  // Same version as the unit last ran: no "--yes" needed, nothing asked.
  const Outcome r = run(firmwareUpdateCommand, {STUDIO_KWF});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(Has(r.out, "the unit has no running firmware; installing 2.1.4300\n")) << r.out;
  EXPECT_TRUE(Has(r.out, "firmware update finished: status 0")) << r.out;
  bus->withUnit(serial, [](simbus::SimUnit& unit) { EXPECT_FALSE(unit.bootloader().halted()); });
}

TEST_F(FirmwareUpdateTest, AUnitBackWithItsOldFirmwareSaysWhatItRuns) {
  plug();
  bus->addFault(
      {.action = simbus::FaultAction::KeepsOld, .kind = simbus::TransferKind::Reset, .skip = 1});
  const Outcome r = run(firmwareUpdateCommand, {STUDIO_KWF});
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Has(r.err, "the unit runs firmware 2.0.4000, not 2.1.4300")) << r.err;
  EXPECT_TRUE(Has(r.err, "status 45 (KVOFWDL_STATUS_FIRMWARE_NOT_CONFIRMED)")) << r.err;
}

TEST_F(FirmwareUpdateTest, HistoryPrintsEveryUpdateThatRan) {
  platform::test::ScratchFolder data;
  platform::test::ScopedEnv dataHome{"XDG_DATA_HOME", data.path()};
  EXPECT_TRUE(Has(run(firmwareHistoryCommand, {}).out, "No firmware updates recorded"));
  plug();
  ASSERT_EQ(run(firmwareUpdateCommand, {STUDIO_KWF}).code, 0);
  const Outcome r = run(firmwareHistoryCommand, {});
  EXPECT_EQ(r.code, 0);
  EXPECT_TRUE(Has(r.out, "\tunit 100001\tfrom 2.0.4000\tto 2.1.4300\tstatus 0 succeeded\n"))
      << r.out;
  EXPECT_EQ(run(firmwareHistoryCommand, {"extra"}).code, 2);
}

TEST_F(FirmwareUpdateTest, ARestartWantedStillCountsAsDone) {
  plug();
  bus->setInstallFlags(0x100);
  const Outcome r = run(firmwareUpdateCommand, {STUDIO_KWF});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(Has(r.out, "status 40 (KVOFWDL_STATUS_REBOOT_REQUIRED): restart the computer"))
      << r.out;
}

struct ConsentCase {
  const char* name;
  uint32_t unitFirmware;
  Args args;
  int code;
  const char* error;
};

class ConsentTest : public FirmwareUpdateTest, public ::testing::WithParamInterface<ConsentCase> {};

// Nobody at a terminal answers the question: only the option lets it go on.
TEST_P(ConsentTest, ADowngradeOrReinstallNeedsItsOption) {
  plug(GetParam().unitFirmware);
  const Outcome r = run(firmwareUpdateCommand, GetParam().args);
  EXPECT_EQ(r.code, GetParam().code) << r.err;
  EXPECT_TRUE(Has(r.err, GetParam().error)) << r.err;
  EXPECT_EQ(firmware(), r.code == 0 ? kShippedFirmware : GetParam().unitFirmware);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConsentTest,
    ::testing::Values(
        ConsentCase{"Downgrade",
                    0x03000000,
                    {STUDIO_KWF},
                    1,
                    "firmware 2.1.4300 is older than the unit's 3.0.0; --allow-downgrade installs "
                    "it anyway"},
        ConsentCase{"DowngradeAllowed", 0x03000000, {STUDIO_KWF, "--allow-downgrade"}, 0, ""},
        ConsentCase{
            "DowngradeWithYesOnly", 0x03000000, {STUDIO_KWF, "--yes"}, 1, "--allow-downgrade"},
        ConsentCase{"Reinstall",
                    kShippedFirmware,
                    {STUDIO_KWF},
                    1,
                    "the unit runs firmware 2.1.4300 already; --yes installs it again"},
        ConsentCase{"ReinstallWithYes", kShippedFirmware, {"--yes", STUDIO_KWF}, 0, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FirmwareUpdateTest, AFailedDownloadNamesItsStatusAndTheLog) {
  plug();
  bus->addFault({.action = simbus::FaultAction::Remove,
                 .kind = simbus::TransferKind::DownloadBlock,
                 .serial = 0,
                 .skip = 3});
  const Outcome r = run(firmwareUpdateCommand, {STUDIO_KWF});
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Has(r.err,
                  "firmware update: the download failed: status 19 "
                  "(KVOFWDL_STATUS_DEVICE_WRITE_FAILED); the library log is "))
      << r.err;
  EXPECT_EQ(firmware(), 0x02000FA0u);
}

TEST_F(FirmwareUpdateTest, AFileForAnotherModelIsNotDownloaded) {
  plug();
  const Outcome r = run(firmwareUpdateCommand, {COMPACT_KWF, "--yes"});
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Has(r.err,
                  "the file cannot be downloaded to this unit: not possible; made for "
                  "another model"))
      << r.err;
}

}  // namespace
}  // namespace velmoractl::test
