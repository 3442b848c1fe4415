// The exports as an outside caller sees them: version, logging switch, parameter checks and
// the functions that wait for unit support.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "fwdl/include/dun_fwdl.h"
#include "tests/fwdl/api_fixture.h"

namespace fwdl::testing {
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

struct NotImplementedCase {
  const char* name;
  std::function<KVOFWDL_STATUS(uint32_t&, uint32_t&)> call;  // two outputs to look at
  uint32_t first;
  uint32_t second;
};

void PrintTo(const NotImplementedCase& c, std::ostream* out) {
  *out << c.name;
}

class NotImplementedTest : public LoggedApiTest,
                           public ::testing::WithParamInterface<NotImplementedCase> {};

// Until unit support comes, these answer "unexpected" and leave their outputs as they would
// be left on failure.
TEST_P(NotImplementedTest, AnswersUnexpectedWithItsOutputsCleared) {
  uint32_t first = 0x5A5A5A5A;
  uint32_t second = 0x5A5A5A5A;
  EXPECT_EQ(GetParam().call(first, second), KVOFWDL_STATUS_UNEXPECTED);
  EXPECT_EQ(first, GetParam().first);
  EXPECT_EQ(second, GetParam().second);
  EXPECT_THAT(entriesOf("ERROR"), ElementsAre("KVOFWDL_" + std::string(GetParam().name) +
                                              ": not implemented in this build"));
}

constexpr uint32_t kUntouched = 0x5A5A5A5A;

INSTANTIATE_TEST_SUITE_P(
    Exports, NotImplementedTest,
    ::testing::Values(
        NotImplementedCase{
            "EnumerateDevices",
            [](uint32_t& a, uint32_t&) { return KVOFWDL_EnumerateDevices("{}", &a); }, 0,
            kUntouched},
        NotImplementedCase{
            "GetDeviceInfo",
            [](uint32_t&, uint32_t&) { return KVOFWDL_GetDeviceInfo(0, &deviceInfo); }, kUntouched,
            kUntouched},
        NotImplementedCase{"OpenDevice", [](uint32_t&, uint32_t&) { return KVOFWDL_OpenDevice(0); },
                           kUntouched, kUntouched},
        NotImplementedCase{
            "CheckDownload",
            [](uint32_t& a, uint32_t&) { return KVOFWDL_CheckDownload("a.kwf", &a); }, 0xFFFFFFFF,
            kUntouched},
        NotImplementedCase{"StartDownload",
                           [](uint32_t&, uint32_t&) { return KVOFWDL_StartDownload("a.kwf", 0); },
                           kUntouched, kUntouched},
        NotImplementedCase{"SetTimeout",
                           [](uint32_t&, uint32_t&) { return KVOFWDL_SetTimeout(1, 1000); },
                           kUntouched, kUntouched},
        NotImplementedCase{
            "GetDownloadStatus",
            [](uint32_t& a, uint32_t& b) { return KVOFWDL_GetDownloadStatus(&a, &b); }, 0, 0},
        NotImplementedCase{"CloseDevice",
                           [](uint32_t&, uint32_t&) { return KVOFWDL_CloseDevice(); }, kUntouched,
                           kUntouched},
        NotImplementedCase{"Reboot", [](uint32_t&, uint32_t&) { return KVOFWDL_Reboot(); },
                           kUntouched, kUntouched},
        NotImplementedCase{"IsUserAdmin",
                           [](uint32_t& a, uint32_t&) { return KVOFWDL_IsUserAdmin(&a); }, 0,
                           kUntouched}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace fwdl::testing
