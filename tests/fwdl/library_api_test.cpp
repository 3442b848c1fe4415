// The exported functions' behaviour, called inside the test's process on units of its own bus:
// their order, their refusals while a download runs, and a whole update through them.
#include <unistd.h>

#include <sys/stat.h>

#include "fwdl/library_api.h"
#include "fwdl/library_state.h"
#include "tests/fwdl/unit_fixture.h"

namespace fwdl::test {
namespace {

const char* const kGuid = pv::kInterfaceGuidText;

using LibraryApiTest = UnitFixture;

TEST_F(LibraryApiTest, StatusAfterLoadingIsSuccessWithNothingDownloaded) {
  uint32_t bytes = 7;
  uint32_t total = 7;
  EXPECT_EQ(api::GetDownloadStatus(&bytes, &total), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(bytes, 0u);
  EXPECT_EQ(total, 0u);
}

TEST_F(LibraryApiTest, CallsFollowTheOrderEnumerateOpenClose) {
  plug();
  KVOFWDL_DEVICE_INFO info;
  uint32_t count = 0;
  EXPECT_EQ(api::OpenDevice(0), KVOFWDL_STATUS_NOT_ENUMERATED);
  EXPECT_EQ(api::GetDeviceInfo(0, &info), KVOFWDL_STATUS_DRIVER_OPEN_FAILED);
  EXPECT_EQ(api::CloseDevice(), KVOFWDL_STATUS_DEVICE_NOT_OPEN);
  EXPECT_EQ(api::SetTimeout(0, 10), KVOFWDL_STATUS_DEVICE_NOT_OPEN);
  EXPECT_EQ(api::EnumerateDevices("{D4647551}", &count), KVOFWDL_STATUS_INVALID_GUID_STRING);
  EXPECT_EQ(api::EnumerateDevices(kGuid, &count), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(count, 1u);
  EXPECT_EQ(api::EnumerateDevices(kGuid, &count), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(api::GetDeviceInfo(1, &info), KVOFWDL_STATUS_DEVICE_OPEN_FAILED);
  EXPECT_EQ(api::GetDeviceInfo(0, &info), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(info.FirmwareVersion, kUnitFirmware);
  EXPECT_EQ(api::OpenDevice(1), KVOFWDL_STATUS_DEVICE_OPEN_FAILED);
  EXPECT_EQ(api::OpenDevice(0), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(api::OpenDevice(0), KVOFWDL_STATUS_DEVICE_ALREADY_OPEN);
  EXPECT_EQ(api::EnumerateDevices(kGuid, &count), KVOFWDL_STATUS_DEVICE_STILL_OPEN);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(api::GetDeviceInfo(0, &info), KVOFWDL_STATUS_SUCCESS) << "beside the open unit";
  EXPECT_EQ(api::SetTimeout(6, 1000), KVOFWDL_STATUS_UNKNOWN_TIMEOUT_PARAMETER);
  EXPECT_EQ(api::SetTimeout(5, 1000), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(api::CloseDevice(), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(api::CloseDevice(), KVOFWDL_STATUS_DEVICE_NOT_OPEN);
  EXPECT_TRUE(logged("ERROR: KVOFWDL_CloseDevice: no open device to close"));
  EXPECT_TRUE(logged("ERROR: open device before enumeration has taken place"));
  EXPECT_TRUE(logged("ERROR: KVOFWDL_SetTimeout: setting timeout on open device failed"));
}

struct CheckCase {
  const char* name;
  bool openUnit;
  const char* file;  // in the scratch folder; "fits" is a file that fits, null a null pointer
  KVOFWDL_STATUS status;
  uint32_t conditions;
};

class CheckDownloadApiTest : public UnitFixture, public ::testing::WithParamInterface<CheckCase> {};

TEST_P(CheckDownloadApiTest, LeavesConditionsAtAllOnesUnlessTheCheckRan) {
  const CheckCase& c = GetParam();
  plug();
  writeKwf(StudioFile(1), "fits");
  WriteText(scratch_ / "text", "no firmware file at all, but long enough for a header.........");
  uint32_t count = 0;
  ASSERT_EQ(api::EnumerateDevices(kGuid, &count), KVOFWDL_STATUS_SUCCESS);
  if (c.openUnit) {
    ASSERT_EQ(api::OpenDevice(0), KVOFWDL_STATUS_SUCCESS);
  }
  uint32_t conditions = 0x5A5A5A5A;
  const std::string path = c.file ? scratch_ / c.file : "";
  EXPECT_EQ(api::CheckDownload(c.file ? path.c_str() : nullptr, &conditions), c.status);
  EXPECT_EQ(conditions, c.conditions);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CheckDownloadApiTest,
    ::testing::Values(
        CheckCase{"Fits", true, "fits", KVOFWDL_STATUS_SUCCESS, 0},
        CheckCase{"NoUnit", false, "fits", KVOFWDL_STATUS_DEVICE_NOT_OPEN, 0xFFFFFFFF},
        CheckCase{"MissingFile", true, "missing", KVOFWDL_STATUS_FILE_NOT_FOUND, 0xFFFFFFFF},
        CheckCase{"NotAFirmwareFile", true, "text", KVOFWDL_STATUS_INVALID_FILE_FORMAT, 0xFFFFFFFF},
        CheckCase{"NullName", true, nullptr, KVOFWDL_STATUS_INVALID_PARAMETER, 0x5A5A5A5A}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LibraryApiTest, AWholeUpdateThroughTheExports) {
  const uint32_t serial = plug();
  const std::string path = writeKwf(StudioFile(1));
  uint32_t count = 0;
  uint32_t conditions = 0;
  ASSERT_EQ(api::EnumerateDevices(kGuid, &count), KVOFWDL_STATUS_SUCCESS);
  ASSERT_EQ(api::OpenDevice(0), KVOFWDL_STATUS_SUCCESS);
  ASSERT_EQ(api::CheckDownload(path.c_str(), &conditions), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(conditions, 0u);
  ASSERT_EQ(api::StartDownload(path.c_str(), 0), KVOFWDL_STATUS_SUCCESS);
  WaitForDownload(Library().downloader);
  uint32_t bytes = 0;
  uint32_t total = 0;
  EXPECT_EQ(api::GetDownloadStatus(&bytes, &total), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(bytes, total);
  EXPECT_EQ(api::CloseDevice(), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(bus->units()[0].firmware, kNewFirmware);
  EXPECT_FALSE(unitState(serial).bootloader().halted());
  EXPECT_TRUE(logged("INFO: enter KVOFWDL_StartDownload( '" + path + "',0x00000000 )"));
}

TEST_F(LibraryApiTest, StartingWithoutAnOpenUnitIsRefused) {
  plug();
  const std::string path = writeKwf(StudioFile(1));
  EXPECT_EQ(api::StartDownload(path.c_str(), 0), KVOFWDL_STATUS_DEVICE_NOT_OPEN);
  EXPECT_TRUE(logged("ERROR: KVOFWDL_StartDownload: starting download failed"));
  uint32_t bytes = 0;
  uint32_t total = 0;
  EXPECT_EQ(api::GetDownloadStatus(&bytes, &total), KVOFWDL_STATUS_SUCCESS);
}

// The calls that change something, during a download.
struct RefusalCase {
  const char* name;
  std::function<KVOFWDL_STATUS(const std::string& scratch)> call;
};

class RefusalTest : public UnitFixture, public ::testing::WithParamInterface<RefusalCase> {
 protected:
  GatedClock gated_;
  platform::ScopedClock useGated_{gated_};
};

TEST_P(RefusalTest, RefusesWhileADownloadRunsAndChangesNothing) {
  plug();
  const std::string path = writeKwf(StudioFile(1));
  uint32_t count = 0;
  ASSERT_EQ(api::EnumerateDevices(kGuid, &count), KVOFWDL_STATUS_SUCCESS);
  ASSERT_EQ(api::OpenDevice(0), KVOFWDL_STATUS_SUCCESS);
  gated_.holdAt(3000);  // the pause after the unit halted in its boot loader
  ASSERT_EQ(api::StartDownload(path.c_str(), 0), KVOFWDL_STATUS_SUCCESS);
  gated_.waitUntilHeld();

  uint32_t bytes = 0;
  uint32_t total = 0;
  EXPECT_EQ(api::GetDownloadStatus(&bytes, &total), KVOFWDL_STATUS_DOWNLOAD_RUNNING);
  EXPECT_EQ(GetParam().call(scratch_.path()), KVOFWDL_STATUS_DOWNLOAD_IN_PROGRESS);
  EXPECT_TRUE(logged("ERROR: KVOFWDL_" + std::string(GetParam().name) +
                     " failed, because download is in progress"));
  EXPECT_NE(Library().enumeration.OpenUnit(), nullptr);
  EXPECT_EQ(Library().enumeration.OpenUnit()->Timeout(TIMEOUT_DOWNLOAD_START), 40000u);
  EXPECT_EQ(bus->driver().restarts, 0u);
  EXPECT_EQ(::access((scratch_ / "other.log").c_str(), F_OK), -1);
  KVOFWDL_DEVICE_INFO info;
  EXPECT_EQ(api::GetDeviceInfo(0, &info), KVOFWDL_STATUS_SUCCESS) << "a second handle";
  EXPECT_EQ(info.BootloaderMode, 1u);

  gated_.release();
  WaitForDownload(Library().downloader);
  EXPECT_EQ(api::GetDownloadStatus(&bytes, &total), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(bus->units()[0].firmware, kNewFirmware);
}

INSTANTIATE_TEST_SUITE_P(
    Calls, RefusalTest,
    ::testing::Values(
        RefusalCase{"CloseDevice", [](const std::string&) { return api::CloseDevice(); }},
        RefusalCase{
            "StartDownload",
            [](const std::string& s) { return api::StartDownload((s + "/test.kwf").c_str(), 0); }},
        RefusalCase{"CheckDownload",
                    [](const std::string& s) {
                      uint32_t conditions = 0;
                      const KVOFWDL_STATUS status =
                          api::CheckDownload((s + "/test.kwf").c_str(), &conditions);
                      EXPECT_EQ(conditions, 0xFFFFFFFFu);
                      return status;
                    }},
        RefusalCase{"SetTimeout", [](const std::string&) { return api::SetTimeout(1, 5); }},
        RefusalCase{
            "EnableLogging",
            [](const std::string& s) { return api::EnableLogging((s + "/other.log").c_str()); }},
        RefusalCase{"Reboot", [](const std::string&) { return api::Reboot(); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LibraryApiTest, RebootRestartsTheSimulatedComputer) {
  plug();
  EXPECT_EQ(api::Reboot(), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(bus->driver().restarts, 1u);
}

TEST_F(LibraryApiTest, IsUserAdminAnswersForTheProcessUser) {
  uint32_t isAdmin = 7;
  EXPECT_EQ(api::IsUserAdmin(&isAdmin), KVOFWDL_STATUS_SUCCESS);
  EXPECT_LE(isAdmin, 1u);
#ifndef _WIN32
  if (geteuid() == 0) {
    EXPECT_EQ(isAdmin, 1u);
  }
#endif
}

}  // namespace
}  // namespace fwdl::test
