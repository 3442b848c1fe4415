// A download from "Update" to its end: progress, success with the restart question, failure
// with the log offered, and "Exit".
#include <sys/stat.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/updater/updater_fixture.h"
#include "updater/progress_text.h"
#include "updater/updater_texts.h"

namespace updater::test {
namespace {

using simbus::FaultAction;
using simbus::TransferKind;
using State = FirmwareUpdater::State;

std::string status(const char* text) {
  return std::string("status: ") + text;
}

std::string contentsOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

class DownloadTest : public UpdaterFixture {
 protected:
  void download() {
    updater->initialise();
    folder = updater->tempFolder();
    pressUpdate();
    ASSERT_EQ(updater->state(), State::Downloading);
    runDownload();
  }
  // The warning line comes when the download starts and goes when it ends, before the result
  // is shown.
  void expectWarnedOnlyWhileWriting(const char* result) {
    const std::string shown =
        "download warning: Do not unplug the unit or switch it off until the update has "
        "finished.";
    const std::string cleared = "download warning: ";
    EXPECT_EQ(view.eventsStartingWith("download warning: "),
              (std::vector<std::string>{shown, cleared}));
    const auto events = view.events();
    const auto at = [&](const std::string& event) {
      return std::find(events.begin(), events.end(), event) - events.begin();
    };
    EXPECT_LT(at(shown), at("progress bar 0..100"));
    EXPECT_LT(at(cleared), at(status(result)));
  }
  std::string folder;
};

TEST_F(DownloadTest, ProgressGoesFromInitiatingThroughSendingToSuccess) {
  plug();
  download();
  const auto posted = view.postedLog();
  ASSERT_GE(posted.size(), 3u);
  EXPECT_EQ(posted.back().first, uint32_t{KVOFWDL_STATUS_SUCCESS});
  for (size_t i = 1; i < posted.size(); ++i) EXPECT_NE(posted[i], posted[i - 1]);
  const auto texts = view.eventsStartingWith("status: ");
  // The fake clock lets the library's worker run ahead of the first reading, so the first
  // text is whichever fits that reading.
  EXPECT_EQ(texts.front(), status(progressText(posted.front().second)));
  EXPECT_NE(std::find(texts.begin(), texts.end(), status(text::kSending)), texts.end());
  EXPECT_EQ(texts.back(), status(text::kSucceeded));
  EXPECT_EQ(view.eventsStartingWith("progress bar"),
            std::vector<std::string>{"progress bar 0..100"});
  EXPECT_EQ(unitFirmware(), kShippedFirmware);
  expectWarnedOnlyWhileWriting(text::kSucceeded);
}

TEST_F(DownloadTest, YesToTheRestartRestartsTheBusAndQuits) {
  plug();
  view.answers = {true};
  download();
  ASSERT_EQ(view.questions.size(), 1u);
  EXPECT_EQ(view.questions[0].text, text::kRestartQuestion);
  EXPECT_EQ(view.questions[0].caption, text::kQuestionCaption);
  EXPECT_FALSE(view.questions[0].noIsDefault);
  EXPECT_EQ(view.exitCode, 0);
  EXPECT_EQ(bus->driver().restarts, 1u);
  EXPECT_FALSE(std::filesystem::exists(folder));
  EXPECT_FALSE(unitLeftOpen());
}

TEST_F(DownloadTest, NoToTheRestartClosesTheUnitAndEnablesOnlyExit) {
  plug();
  download();
  EXPECT_EQ(updater->state(), State::Succeeded);
  EXPECT_EQ(bus->driver().restarts, 0u);
  EXPECT_FALSE(view.exitCode);
  EXPECT_FALSE(view.updateEnabled);
  EXPECT_TRUE(view.exitEnabled);
  EXPECT_FALSE(unitLeftOpen());
  updater->onExit();
  EXPECT_EQ(view.exitCode, 0);
  EXPECT_FALSE(std::filesystem::exists(folder));
}

TEST_F(DownloadTest, OldFirmwareHasTheCableUnpluggedAndPluggedInAgain) {
  plug(0x01000FA0);
  const uint32_t start = clock.tickCount();
  download();
  EXPECT_EQ(view.eventsStartingWith("message "),
            std::vector<std::string>{"message [] " + std::string(text::kPowerSupplyWarning)});
  EXPECT_EQ(view.eventsStartingWith("notice "),
            (std::vector<std::string>{"notice " + std::string(text::kUnplugCable),
                                      "notice " + std::string(text::kPlugCable)}));
  EXPECT_GE(clock.tickCount() - start, 6000u + 5000u + 3000u);
  EXPECT_EQ(unitFirmware(), kShippedFirmware);
}

// The window cannot be closed, nor "Exit" pressed, while the worker runs.
TEST_F(DownloadTest, ExitIsRefusedWhileTheDownloadRuns) {
  plug();
  updater->initialise();
  pressUpdate();
  ASSERT_EQ(updater->state(), State::Downloading);
  EXPECT_FALSE(updater->mayClose());
  // SIGTERM and SIGINT wait for the end of the download too.
  EXPECT_TRUE(updater->holdsTerminationSignals());
  updater->onExit();
  EXPECT_FALSE(view.exitCode);
  EXPECT_TRUE(std::filesystem::exists(updater->tempFolder()));
  runDownload();
  EXPECT_TRUE(updater->mayClose());
  EXPECT_FALSE(updater->holdsTerminationSignals());
}

// A fake clock that also adds up how long one thread slept on it.
class ThreadWatchingClock : public platform::Clock {
 public:
  explicit ThreadWatchingClock(platform::FakeClock& time) : time_(time) {}
  uint32_t tickCount() const override { return time_.tickCount(); }
  void sleep(uint32_t milliseconds) override {
    if (std::this_thread::get_id() == watched_) sleptByWatched += milliseconds;
    time_.sleep(milliseconds);
  }
  std::atomic<uint32_t> sleptByWatched{0};

 private:
  platform::FakeClock& time_;
  std::thread::id watched_ = std::this_thread::get_id();
};

// With old firmware the user has 6 s to unplug the cable once the download has started; the
// dialog's thread does not wait them out, the worker does, before its first notice.
TEST_F(DownloadTest, TheCableReplugLeadIsWaitedOutByTheWorkerNotTheDialog) {
  plug(0x01000FA0);
  ThreadWatchingClock watching(clock);
  platform::ScopedClock useWatching(watching);
  updater->initialise();
  const uint32_t start = clock.tickCount();
  pressUpdate();
  ASSERT_EQ(updater->state(), State::Downloading);
  EXPECT_EQ(watching.sleptByWatched, 0u);
  runDownload();
  ASSERT_EQ(view.noticeTicks.size(), 2u);
  EXPECT_GE(view.noticeTicks[0] - start, 6000u);
  EXPECT_GE(view.noticeTicks[1] - view.noticeTicks[0], 5000u);
  EXPECT_EQ(unitFirmware(), kShippedFirmware);
}

// Every way the simulated boot loader can let a download down ends in "Firmware update failed."
// with the library's log offered; the unit keeps its firmware. (A wrong CRC at the end of an
// object fails only version-0 objects; the shipped files are streamed version-1 files.)
struct BootloaderFault {
  const char* name;
  FaultAction action;
  TransferKind kind;
  uint32_t status;  // for Error: the boot loader's code
  uint32_t delayMs;
};

void PrintTo(const BootloaderFault& fault, std::ostream* out) {
  *out << fault.name;
}

// A late answer comes a day later. The watcher's polls move the shared fake clock on while the
// library's worker may not run at all: an answer only 30 s late was, under load, sometimes
// already there when the worker next looked, and the download succeeded.
constexpr uint32_t kADayLate = 24 * 60 * 60 * 1000;

class FailedDownloadTest : public DownloadTest,
                           public ::testing::WithParamInterface<BootloaderFault> {};

TEST_P(FailedDownloadTest, EndsInFailureWithTheLogOffered) {
  plug();
  const BootloaderFault& fault = GetParam();
  bus->addFault({.action = fault.action,
                 .kind = fault.kind,
                 .serial = 0,
                 .skip = 0,
                 .count = 1,
                 .status = fault.status,
                 .delayMs = fault.delayMs});
  view.savePath = scratch / "saved.log";
  download();
  EXPECT_EQ(updater->state(), State::Failed);
  EXPECT_EQ(view.eventsStartingWith("status: ").back(), status(text::kFailed));
  ASSERT_EQ(view.saveRequests.size(), 1u);
  const SaveFileRequest& request = view.saveRequests[0];
  EXPECT_EQ(request.title, text::kSaveLogTitle);
  EXPECT_EQ(request.defaultName, "VelmoraProUpdate.log");
  EXPECT_EQ(request.defaultExtension, "log");
  EXPECT_TRUE(request.startInDesktop);
  EXPECT_TRUE(request.promptOverwrite);
  const std::string saved = contentsOf(*view.savePath);
  EXPECT_NE(saved.find("enter KVOFWDL_StartDownload"), std::string::npos);
  // The copy is the log as it stood; the library goes on writing to its own.
  EXPECT_TRUE(contentsOf(folder + "/VelmoraProUpdate.log").starts_with(saved));
  EXPECT_FALSE(view.updateEnabled);
  EXPECT_TRUE(view.exitEnabled);
  EXPECT_FALSE(unitLeftOpen());
  EXPECT_EQ(unitFirmware(), kOlderFirmware);
  expectWarnedOnlyWhileWriting(text::kFailed);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FailedDownloadTest,
    ::testing::Values(
        BootloaderFault{"ResetUnanswered", FaultAction::NoAnswer, TransferKind::Reset, 0, 0},
        BootloaderFault{"BackWithAnotherId", FaultAction::OtherId, TransferKind::Reset, 0, 0},
        BootloaderFault{"StartUnanswered", FaultAction::NoAnswer, TransferKind::DownloadStart, 0,
                        0},
        BootloaderFault{"StartTooLate", FaultAction::Late, TransferKind::DownloadStart, 0,
                        kADayLate},
        BootloaderFault{"BlockRefused", FaultAction::Error, TransferKind::DownloadBlock, 0xFFFFFFFF,
                        0},
        BootloaderFault{"UnitLeaves", FaultAction::Remove, TransferKind::DownloadBlock, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// A unit cut off while its program was written comes back in its boot loader; the next
// "Update" installs the firmware without asking about versions.
TEST_F(DownloadTest, AUnitLeftInItsBootLoaderIsRecoveredWithoutQuestions) {
  plug();
  const uint32_t serial = bus->units()[0].serialLow;
  bus->addFault({.action = FaultAction::Remove,
                 .kind = TransferKind::DownloadBlock,
                 .serial = serial,
                 .skip = 2});
  download();
  ASSERT_EQ(updater->state(), State::Failed);
  bus->clearFaults();
  bus->plug({simbus::Model::Studio, serial, simbus::kDefaultSerialHigh, 3});
  bus->withUnit(serial, [](simbus::SimUnit& unit) {
    EXPECT_TRUE(unit.bootloader().halted()) << "a cut-off write leaves no application";
  });

  view.questions.clear();
  updater = std::make_unique<FirmwareUpdater>(library, view);
  download();
  ASSERT_EQ(view.questions.size(), 1u) << "no version question, only the restart";
  EXPECT_EQ(view.questions[0].text, text::kRestartQuestion);
  const auto texts = view.eventsStartingWith("status: ");
  EXPECT_NE(std::find(texts.begin(), texts.end(),
                      status("The unit has no running firmware; installing 2.1.4300...")),
            texts.end());
  EXPECT_EQ(texts.back(), status(text::kSucceeded));
  EXPECT_EQ(unitFirmware(), kShippedFirmware);
  bus->withUnit(serial, [](simbus::SimUnit& unit) { EXPECT_FALSE(unit.bootloader().halted()); });
}

// The boot loader turned the new image down: the dialog says what the unit runs instead of
// reporting success.
TEST_F(DownloadTest, AUnitBackWithItsOldFirmwareIsAFailureThatSaysWhatItRuns) {
  plug();
  bus->addFault({.action = FaultAction::KeepsOld, .kind = TransferKind::Reset, .skip = 1});
  download();
  EXPECT_EQ(updater->state(), State::Failed);
  EXPECT_EQ(view.eventsStartingWith("status: ").back(),
            status("Firmware update failed: the unit runs firmware 2.0.4000."));
  EXPECT_TRUE(view.questions.empty()) << "no restart offered";
  EXPECT_EQ(unitFirmware(), kOlderFirmware);
}

TEST_F(DownloadTest, ACopyOfTheLogThatCannotBeWrittenIsSaidSo) {
  plug();
  bus->addFault({.action = FaultAction::Error,
                 .kind = TransferKind::DownloadBlock,
                 .serial = 0,
                 .skip = 0,
                 .count = 1,
                 .status = 0xFFFFFFFF,
                 .delayMs = 0});
  view.savePath = scratch / "no-such-folder/saved.log";
  download();
  EXPECT_EQ(view.eventsStartingWith("message "),
            std::vector<std::string>{"message [" + std::string(text::kQuestionCaption) + "] " +
                                     text::kSaveLogFailed});
}

TEST_F(DownloadTest, ExitRemovesTheFolderWithReadOnlyEntriesButNotWhatLinksPointTo) {
  updater->initialise();
  folder = updater->tempFolder();
  std::filesystem::create_directories(folder + "/sub/deeper");
  std::ofstream(folder + "/sub/deeper/file") << "x";
  std::ofstream(folder + "/read-only") << "x";
  std::ofstream(scratch / "outside") << "keep";
  std::filesystem::create_symlink(scratch / "outside", folder + "/sub/link");
  std::filesystem::create_directory_symlink(scratch.path(), folder + "/folder-link");
  chmod((folder + "/read-only").c_str(), 0400);
  chmod((folder + "/sub/deeper").c_str(), 0500);
  chmod((folder + "/sub").c_str(), 0500);
  updater->onExit();
  EXPECT_EQ(view.exitCode, 0);
  EXPECT_FALSE(std::filesystem::exists(folder));
  EXPECT_EQ(contentsOf(scratch / "outside"), "keep");
}

}  // namespace
}  // namespace updater::test
