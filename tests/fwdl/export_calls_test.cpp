// The exports as an outside caller sees them: version, logging switch, parameter checks and a
// caller's way from finding a unit to closing it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "fwdl/include/dun_fwdl.h"
#include "tests/fwdl/api_fixture.h"
#include "tests/support/scratch.h"

namespace fwdl::test {
namespace {

using ::testing::ElementsAre;

TEST(ExportsTest, GetVersionAnswersBeforeAnythingElse) {
  EXPECT_EQ(KVOFWDL_GetVersion(), 0x00030000u);
}

TEST(ExportsTest, EnableLoggingRefusesAnEmptyPathOrAnUnwritableOne) {
  EXPECT_EQ(KVOFWDL_EnableLogging(""), KVOFWDL_STATUS_LOGGING_FAILED);
  EXPECT_EQ(KVOFWDL_EnableLogging("/nonexistent-folder/fwdl.log"), KVOFWDL_STATUS_LOGGING_FAILED);
}

TEST(ExportsTest, DisablingWithoutALogFileSucceeds) {
  EXPECT_EQ(KVOFWDL_EnableLogging(nullptr), KVOFWDL_STATUS_SUCCESS);
}

using LoggingTest = LoggedApiTest;

TEST_F(LoggingTest, EntriesGoToTheFileUntilLoggingIsDisabled) {
  KVOFWDL_KWF_FILE_INFO info;
  KVOFWDL_GetKwfFileInfo(path("missing.kwf").c_str(), &info);
  ASSERT_EQ(KVOFWDL_EnableLogging(nullptr), KVOFWDL_STATUS_SUCCESS);
  KVOFWDL_GetKwfFileInfo("after.kwf", &info);

  const std::string missing = path("missing.kwf");
  char enter[512];
  std::snprintf(enter, sizeof enter, "INFO: enter KVOFWDL_GetKwfFileInfo('%s',0x%08X)",
                missing.c_str(), static_cast<unsigned>(reinterpret_cast<uintptr_t>(&info)));
  EXPECT_THAT(entries(),
              ElementsAre(enter, "ERROR: KwfFile::Open: file '" + missing + "' could not be found.",
                          "ERROR: KVOFWDL_GetKwfFileInfo: open file '" + missing + "' failed",
                          "INFO: enter KVOFWDL_EnableLogging('(null)')"));
}

struct NullParameterCase {
  const char* name;
  std::function<KVOFWDL_STATUS()> call;
  const char* error;
};

void PrintTo(const NullParameterCase& c, std::ostream* out) {
  *out << c.name;
}

class NullParameterTest : public LoggedApiTest,
                          public ::testing::WithParamInterface<NullParameterCase> {};

TEST_P(NullParameterTest, IsRefusedWithItsName) {
  EXPECT_EQ(GetParam().call(), KVOFWDL_STATUS_INVALID_PARAMETER);
  EXPECT_THAT(entriesOf("ERROR"), ElementsAre(GetParam().error));
}

KVOFWDL_KWF_FILE_INFO fileInfo;
KVOFWDL_DEVICE_INFO deviceInfo;
uint32_t number;

INSTANTIATE_TEST_SUITE_P(
    Exports, NullParameterTest,
    ::testing::Values(
        NullParameterCase{"KwfFileName", [] { return KVOFWDL_GetKwfFileInfo(nullptr, &fileInfo); },
                          "KVOFWDL_GetKwfFileInfo: parameter 'KwfFileName' is NULL"},
        NullParameterCase{"KwfInfo", [] { return KVOFWDL_GetKwfFileInfo("a.kwf", nullptr); },
                          "KVOFWDL_GetKwfFileInfo: parameter 'KwfInfo' is NULL"},
        NullParameterCase{"InterfaceGuidStr",
                          [] { return KVOFWDL_EnumerateDevices(nullptr, &number); },
                          "KVOFWDL_EnumerateDevices: parameter 'InterfaceGuidStr' is NULL"},
        NullParameterCase{"NumberOfDevices", [] { return KVOFWDL_EnumerateDevices("{}", nullptr); },
                          "KVOFWDL_EnumerateDevices: parameter 'NumberOfDevices' is NULL"},
        NullParameterCase{"DeviceInfo", [] { return KVOFWDL_GetDeviceInfo(0, nullptr); },
                          "KVOFWDL_GetDeviceInfo: parameter 'DeviceInfo' is NULL"},
        NullParameterCase{"CheckKwfFileName",
                          [] { return KVOFWDL_CheckDownload(nullptr, &number); },
                          "KVOFWDL_CheckDownload: parameter 'KwfFileName' is NULL"},
        NullParameterCase{"Conditions", [] { return KVOFWDL_CheckDownload("a.kwf", nullptr); },
                          "KVOFWDL_CheckDownload: parameter 'Conditions' is NULL"},
        NullParameterCase{"StartKwfFileName", [] { return KVOFWDL_StartDownload(nullptr, 0); },
                          "KVOFWDL_StartDownload: parameter 'KwfFileName' is NULL"},
        NullParameterCase{"BytesDownloaded",
                          [] { return KVOFWDL_GetDownloadStatus(nullptr, &number); },
                          "KVOFWDL_GetDownloadStatus: parameter 'BytesDownloaded' is NULL"},
        NullParameterCase{"TotalBytes", [] { return KVOFWDL_GetDownloadStatus(&number, nullptr); },
                          "KVOFWDL_GetDownloadStatus: parameter 'TotalBytes' is NULL"},
        NullParameterCase{"IsAdmin", [] { return KVOFWDL_IsUserAdmin(nullptr); },
                          "KVOFWDL_IsUserAdmin: parameter 'IsAdmin' is NULL"}),
    [](const auto& info) { return std::string(info.param.name); });

// The library is loaded once per process and keeps its state: this is the one test that
// enumerates. Its units are those of a bus inside the library (VELMORA_SIMBUS), on the
// library's own clock; nothing here waits for it.
TEST_F(LoggingTest, AnOutsideCallerFindsOpensChecksAndClosesAUnit) {
  platform::test::ScopedEnv bus("VELMORA_SIMBUS", "inproc:studio");
  const char* guid = "{D4647551-A610-4623-AD1E-2F4A94EFE734}";
  uint32_t bytes = 7;
  uint32_t total = 7;
  EXPECT_EQ(KVOFWDL_GetDownloadStatus(&bytes, &total), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(bytes + total, 0u);
  EXPECT_EQ(KVOFWDL_OpenDevice(0), KVOFWDL_STATUS_NOT_ENUMERATED);
  EXPECT_EQ(KVOFWDL_GetDeviceInfo(0, &deviceInfo), KVOFWDL_STATUS_DRIVER_OPEN_FAILED);
  EXPECT_EQ(KVOFWDL_SetTimeout(0, 1000), KVOFWDL_STATUS_DEVICE_NOT_OPEN);
  uint32_t count = 0;
  ASSERT_EQ(KVOFWDL_EnumerateDevices(guid, &count), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(count, 1u);
  ASSERT_EQ(KVOFWDL_EnumerateDevices(guid, &count), KVOFWDL_STATUS_SUCCESS);
  ASSERT_EQ(KVOFWDL_GetDeviceInfo(0, &deviceInfo), KVOFWDL_STATUS_SUCCESS);
  EXPECT_STREQ(deviceInfo.ManufacturerId, "tarnwick");
  EXPECT_EQ(deviceInfo.HardwareModelID, 0x13u);
  ASSERT_EQ(KVOFWDL_OpenDevice(0), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(KVOFWDL_OpenDevice(0), KVOFWDL_STATUS_DEVICE_ALREADY_OPEN);
  EXPECT_EQ(KVOFWDL_EnumerateDevices(guid, &count), KVOFWDL_STATUS_DEVICE_STILL_OPEN);
  EXPECT_EQ(KVOFWDL_SetTimeout(6, 1000), KVOFWDL_STATUS_UNKNOWN_TIMEOUT_PARAMETER);
  uint32_t conditions = 0;
  EXPECT_EQ(KVOFWDL_CheckDownload(STUDIO_KWF, &conditions), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(conditions, 0u);
  EXPECT_EQ(KVOFWDL_CheckDownload(COMPACT_KWF, &conditions), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(conditions, KVOFWDL_COND_NOT_POSSIBLE | KVOFWDL_COND_HARDWARE_MISMATCH);
  EXPECT_EQ(KVOFWDL_CloseDevice(), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(KVOFWDL_CloseDevice(), KVOFWDL_STATUS_DEVICE_NOT_OPEN);
  EXPECT_EQ(KVOFWDL_CheckDownload(STUDIO_KWF, &conditions), KVOFWDL_STATUS_DEVICE_NOT_OPEN);
  EXPECT_EQ(conditions, 0xFFFFFFFFu);
  uint32_t isAdmin = 7;
  EXPECT_EQ(KVOFWDL_IsUserAdmin(&isAdmin), KVOFWDL_STATUS_SUCCESS);
  EXPECT_LE(isAdmin, 1u);
  EXPECT_EQ(KVOFWDL_Reboot(), KVOFWDL_STATUS_SUCCESS);
  EXPECT_THAT(entriesOf("ERROR"),
              ::testing::Contains("open device before enumeration has taken place"));
}

}  // namespace
}  // namespace fwdl::test
