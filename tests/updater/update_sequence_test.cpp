// "Update" up to the start of a download: each step that fails leaves its message in the
// status text and the program running; the version questions.
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <future>
#include <thread>

#include "tests/updater/updater_fixture.h"
#include "updater/updater_texts.h"

namespace updater::test {
namespace {

using State = FirmwareUpdater::State;

TEST_F(UpdaterFixture, TheStartWarnsAboutThePowerSupplyWithAnEmptyCaption) {
  updater->showStartWarning();
  EXPECT_EQ(view.events(),
            std::vector<std::string>{"message [] " + std::string(text::kPowerSupplyWarning)});
}

TEST_F(UpdaterFixture, TheTemporaryFolderIsPrivateAndNamedAfterTheProcess) {
  updater->initialise();
  const std::filesystem::path folder = updater->tempFolder();
  EXPECT_EQ(folder.parent_path(), scratch.path());
  EXPECT_TRUE(
      folder.filename().string().starts_with("VelmoraProUpdater-" + std::to_string(getpid()) + "-"))
      << folder;
  struct stat status {};
  ASSERT_EQ(lstat(folder.c_str(), &status), 0);
  EXPECT_TRUE(S_ISDIR(status.st_mode));
  EXPECT_EQ(status.st_mode & 07777, 0700u);
  EXPECT_TRUE(view.events().empty());
}

TEST_F(UpdaterFixture, AFolderAnotherUserPlantedUnderTheOldNameIsNotUsed) {
  const std::string planted = scratch / ("VelmoraProUpdater-" + std::to_string(getpid()));
  std::filesystem::create_directory(scratch / "elsewhere");
  std::filesystem::create_directory_symlink(scratch / "elsewhere", planted);
  updater->initialise();
  EXPECT_NE(updater->tempFolder(), planted);
  EXPECT_FALSE(std::filesystem::is_symlink(updater->tempFolder()));
}

TEST_F(UpdaterFixture, AFolderThatCannotBeMadeIsReportedBeforeAnythingIsWritten) {
  platform::test::ScopedEnv missing("TMPDIR", scratch / "missing");
  plug();
  updater->initialise();
  pressUpdate();
  EXPECT_EQ(view.eventsStartingWith("status: "),
            (std::vector<std::string>{std::string("status: ") + text::kTempFolderFailed,
                                      std::string("status: ") + text::kTempFolderFailed}));
  EXPECT_EQ(updater->state(), State::Idle);
  EXPECT_FALSE(std::filesystem::exists(scratch / "missing"));
}

// Each library call that fails is named in the status text; both buttons stay enabled, the
// program keeps running and the unit is not left open, so "Update" can be pressed again.
struct StepFailure {
  const char* name;
  void (*breakLibrary)(FirmwareLibrary& library);
  const char* status;
};

void PrintTo(const StepFailure& step, std::ostream* out) {
  *out << step.name;
}

class StepFailureTest : public UpdaterFixture, public ::testing::WithParamInterface<StepFailure> {};

TEST_P(StepFailureTest, NamesTheFailureAndLeavesTheProgramReadyForAnotherTry) {
  plug();
  GetParam().breakLibrary(library);
  updater->initialise();
  for (int attempt = 0; attempt < 2; ++attempt) pressUpdate();
  const std::string expected = std::string("status: ") + GetParam().status;
  EXPECT_EQ(view.eventsStartingWith("status: "), (std::vector<std::string>{expected, expected}));
  EXPECT_EQ(updater->state(), State::Idle);
  EXPECT_TRUE(view.updateEnabled);
  EXPECT_TRUE(view.exitEnabled);
  EXPECT_FALSE(view.progressBarShown);
  EXPECT_FALSE(view.exitCode);
  EXPECT_FALSE(unitLeftOpen());
  EXPECT_EQ(unitFirmware(), kOlderFirmware);
}

constexpr KVOFWDL_STATUS kFailed = KVOFWDL_STATUS_FAILED;

INSTANTIATE_TEST_SUITE_P(
    Steps, StepFailureTest,
    ::testing::Values(
        StepFailure{"NoUnit",
                    [](FirmwareLibrary& l) {
                      l.EnumerateDevices = [](const char*, uint32_t* n) {
                        *n = 0;
                        return KVOFWDL_STATUS(KVOFWDL_STATUS_SUCCESS);
                      };
                    },
                    text::kNoDevices},
        StepFailure{
            "EnableLogging",
            [](FirmwareLibrary& l) { l.EnableLogging = [](const char*) { return kFailed; }; },
            text::kEnableLoggingFailed},
        StepFailure{"EnumerateDevices",
                    [](FirmwareLibrary& l) {
                      l.EnumerateDevices = [](const char*, uint32_t*) { return kFailed; };
                    },
                    text::kEnumerateFailed},
        StepFailure{"GetDeviceInfo",
                    [](FirmwareLibrary& l) {
                      l.GetDeviceInfo = [](uint32_t, KVOFWDL_DEVICE_INFO*) { return kFailed; };
                    },
                    text::kGetDeviceInfoFailed},
        StepFailure{"OpenDevice",
                    [](FirmwareLibrary& l) { l.OpenDevice = [](uint32_t) { return kFailed; }; },
                    text::kOpenDeviceFailed},
        StepFailure{"UnknownModel",
                    [](FirmwareLibrary& l) {
                      l.GetDeviceInfo = [](uint32_t index, KVOFWDL_DEVICE_INFO* info) {
                        const KVOFWDL_STATUS status = fwdl::api::GetDeviceInfo(index, info);
                        info->HardwareModelID = 0x15;
                        return status;
                      };
                    },
                    text::kUnrecognisedHardware},
        StepFailure{"GetKwfFileInfo",
                    [](FirmwareLibrary& l) {
                      l.GetKwfFileInfo = [](const char*, KVOFWDL_KWF_FILE_INFO*) {
                        return kFailed;
                      };
                    },
                    text::kGetKwfFileInfoFailed},
        StepFailure{"StartDownload",
                    [](FirmwareLibrary& l) {
                      l.StartDownload = [](const char*, uint32_t) { return kFailed; };
                    },
                    text::kStartDownloadFailed}),
    [](const auto& info) { return std::string(info.param.name); });

// The calls that ask the driver or read the firmware file run off the dialog's thread, so that
// a driver slow to answer cannot freeze the window. Meanwhile the window cannot be closed and
// its buttons are off.
std::atomic<std::thread::id> dialogThread;
std::atomic<int> driverCalls{0};
std::atomic<int> driverCallsOnTheDialogsThread{0};
std::promise<void> enumerationMayAnswer;

void noteDriverCall() {
  ++driverCalls;
  if (std::this_thread::get_id() == dialogThread.load()) ++driverCallsOnTheDialogsThread;
}

TEST_F(UpdaterFixture, TheDriverIsAskedOffTheDialogsThreadWhileTheWindowWaits) {
  dialogThread = std::this_thread::get_id();
  enumerationMayAnswer = {};
  library.EnumerateDevices = [](const char* guid, uint32_t* count) {
    noteDriverCall();
    enumerationMayAnswer.get_future().wait();
    return fwdl::api::EnumerateDevices(guid, count);
  };
  library.GetDeviceInfo = [](uint32_t index, KVOFWDL_DEVICE_INFO* info) {
    noteDriverCall();
    return fwdl::api::GetDeviceInfo(index, info);
  };
  library.OpenDevice = [](uint32_t index) {
    noteDriverCall();
    return fwdl::api::OpenDevice(index);
  };
  library.GetKwfFileInfo = [](const char* path, KVOFWDL_KWF_FILE_INFO* info) {
    noteDriverCall();
    return fwdl::api::GetKwfFileInfo(path, info);
  };
  library.StartDownload = [](const char* path, uint32_t flags) {
    noteDriverCall();
    return fwdl::api::StartDownload(path, flags);
  };
  plug();
  updater->initialise();

  updater->onUpdate();
  // The enumeration has not answered, and the dialog's thread is back in its message loop.
  EXPECT_EQ(updater->state(), State::Preparing);
  EXPECT_FALSE(view.updateEnabled);
  EXPECT_FALSE(view.exitEnabled);
  EXPECT_FALSE(updater->mayClose());
  updater->onExit();
  updater->onUpdate();
  EXPECT_FALSE(view.exitCode);

  enumerationMayAnswer.set_value();
  settle();
  ASSERT_EQ(updater->state(), State::Downloading);
  runDownload();
  EXPECT_EQ(unitFirmware(), kShippedFirmware);
  EXPECT_EQ(driverCalls, 5);
  EXPECT_EQ(driverCallsOnTheDialogsThread, 0);
}

TEST_F(UpdaterFixture, WithNoUnitOnTheBusTheProgramKeepsRunning) {
  updater->initialise();
  pressUpdate();
  EXPECT_EQ(view.events(), std::vector<std::string>{std::string("status: ") + text::kNoDevices});
  EXPECT_EQ(updater->state(), State::Idle);
}

TEST_F(UpdaterFixture, TheFirmwareFileIsTheModelsResourceWrittenByteForByte) {
  plug(kOlderFirmware, simbus::Model::Compact);
  library.StartDownload = [](const char*, uint32_t) { return kFailed; };
  updater->initialise();
  pressUpdate();
  std::ifstream file(updater->tempFolder() + "/COMPACT.KWF", std::ios::binary);
  std::ifstream shipped(COMPACT_KWF, std::ios::binary);
  ASSERT_TRUE(file && shipped);
  EXPECT_TRUE(std::equal(std::istreambuf_iterator<char>(file), {},
                         std::istreambuf_iterator<char>(shipped), {}));
}

// The file's version against the unit's: a downgrade asks with No as default, the same
// version asks with Yes as default, a newer file asks nothing.
struct VersionCase {
  const char* name;
  uint32_t unitFirmware;
  const char* question;  // nullptr: none
  bool noIsDefault;
};

void PrintTo(const VersionCase& version, std::ostream* out) {
  *out << version.name;
}

class VersionQuestionTest : public UpdaterFixture,
                            public ::testing::WithParamInterface<VersionCase> {};

TEST_P(VersionQuestionTest, NoGoesOnToTheDownload) {
  plug(GetParam().unitFirmware);
  updater->initialise();
  pressUpdate();
  if (GetParam().question == nullptr) {
    EXPECT_TRUE(view.questions.empty());
  } else {
    ASSERT_EQ(view.questions.size(), 1u);
    EXPECT_EQ(view.questions[0].text, GetParam().question);
    EXPECT_EQ(view.questions[0].caption, text::kQuestionCaption);
    EXPECT_EQ(view.questions[0].noIsDefault, GetParam().noIsDefault);
  }
  EXPECT_EQ(updater->state(), State::Downloading);
  EXPECT_FALSE(view.updateEnabled);
  EXPECT_FALSE(view.exitEnabled);
  EXPECT_FALSE(updater->mayClose());
  runDownload();
  EXPECT_EQ(unitFirmware(), kShippedFirmware);
}

class SkipTest : public VersionQuestionTest {};

TEST_P(SkipTest, YesQuitsWithoutTouchingTheUnit) {
  plug(GetParam().unitFirmware);
  view.answers = {true};
  updater->initialise();
  const std::string folder = updater->tempFolder();
  pressUpdate();
  EXPECT_EQ(view.exitCode, 0);
  EXPECT_EQ(updater->state(), State::Quit);
  EXPECT_FALSE(std::filesystem::exists(folder));
  EXPECT_FALSE(unitLeftOpen());
  EXPECT_EQ(unitFirmware(), GetParam().unitFirmware);
}

constexpr VersionCase kDowngrade{"Downgrade", 0x03000000, text::kDowngradeQuestion, true};
constexpr VersionCase kSameVersion{"SameVersion", kShippedFirmware, text::kUpToDateQuestion, false};

INSTANTIATE_TEST_SUITE_P(Versions, VersionQuestionTest,
                         ::testing::Values(kDowngrade, kSameVersion,
                                           VersionCase{"Newer", kOlderFirmware, nullptr, false}),
                         [](const auto& info) { return std::string(info.param.name); });
INSTANTIATE_TEST_SUITE_P(Versions, SkipTest, ::testing::Values(kDowngrade, kSameVersion),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace updater::test
