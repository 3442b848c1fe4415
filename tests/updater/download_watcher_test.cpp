// The worker on its own, against a scripted download status.
#include <gtest/gtest.h>

#include <vector>

#include "tests/support/bus_harness.h"
#include "tests/updater/recording_view.h"
#include "updater/download_watcher.h"
#include "updater/progress_text.h"
#include "updater/updater_texts.h"

namespace updater::test {
namespace {

struct Reading {
  KVOFWDL_STATUS status;
  uint32_t bytes;
  uint32_t total;
};

// What the scripted library reports, one reading per call; the last one repeats. Each
// reading also notes the driver's stored rate at that moment.
std::vector<Reading> script;
size_t readings = 0;
simbus::SimBus* driver = nullptr;
std::vector<uint32_t> ratesSeen;

KVOFWDL_STATUS ScriptedStatus(uint32_t* bytes, uint32_t* total) {
  uint32_t rate = 0;
  driver->readSetting(platform::vhpd::kStudioSettingsKey, platform::vhpd::kSampleRateValue, rate);
  ratesSeen.push_back(rate);
  const Reading& r = script[std::min(readings++, script.size() - 1)];
  *bytes = r.bytes;
  *total = r.total;
  return r.status;
}

namespace pv = platform::vhpd;

constexpr KVOFWDL_STATUS kRunning = KVOFWDL_STATUS_DOWNLOAD_RUNNING;
using Posted = std::vector<std::pair<uint32_t, uint32_t>>;

class DownloadWatcherTest : public ::testing::Test, protected platform::test::BusHarness {
 protected:
  DownloadWatcherTest() : BusHarness(0) {}

  Posted watch(std::vector<Reading> readingsToGive, bool replug = false) {
    script = std::move(readingsToGive);
    readings = 0;
    driver = bus.get();
    ratesSeen.clear();
    {
      DownloadWatcher watcher(ScriptedStatus, view);
      watcher.start(replug);
      watcher.join();
    }
    return view.postedLog();
  }
  RecordingView view;
};

TEST_F(DownloadWatcherTest, PostsTheFirstReadingAndEveryChangeEvery100ms) {
  EXPECT_EQ(watch({{kRunning, 0, 1000},
                   {kRunning, 0, 1000},
                   {kRunning, 5, 1000},
                   {kRunning, 10, 1000},
                   {kRunning, 500, 1000},
                   {KVOFWDL_STATUS_SUCCESS, 1000, 1000}}),
            (Posted{{kRunning, 0}, {kRunning, 1}, {kRunning, 50}, {0, 100}}));
  EXPECT_EQ(readings, 6u);
  EXPECT_EQ(clock.tickCount(), 600u);
}

TEST_F(DownloadWatcherTest, TheDriversStoredRateGoesTo48kHzWhenThePercentageLeaves0) {
  bus->writeSetting(pv::kStudioSettingsKey, pv::kSampleRateValue, 96000);
  watch({{kRunning, 0, 1000},
         {kRunning, 0, 1000},
         {kRunning, 10, 1000},
         {KVOFWDL_STATUS_SUCCESS, 1000, 1000}});
  EXPECT_EQ(ratesSeen, (std::vector<uint32_t>{96000, 96000, 96000, 48000}));
}

// Old firmware: 6 s for the user to unplug the cable, the unplug notice, 5 s unplugged, the
// plug-in notice, 3 s to settle, then the polls.
TEST_F(DownloadWatcherTest, TheReplugVariantWaitsBeforeEachNoticeAndBeforePolling) {
  EXPECT_EQ(watch({{KVOFWDL_STATUS_SUCCESS, 10, 10}}, true), (Posted{{0, 100}}));
  EXPECT_EQ(view.eventsStartingWith("notice "),
            (std::vector<std::string>{"notice Unplug the firewire cable",
                                      "notice Plug in the firewire cable"}));
  EXPECT_EQ(view.noticeTicks, (std::vector<uint32_t>{6000, 11000}));
  EXPECT_EQ(clock.tickCount(), 6000u + 5000u + 3000u + 100u);
}

TEST_F(DownloadWatcherTest, AFailureRightAwayIsPostedAndEndsTheWorker) {
  EXPECT_EQ(watch({{KVOFWDL_STATUS_RESET_TIMEOUT, 0, 0}}),
            (Posted{{KVOFWDL_STATUS_RESET_TIMEOUT, 0}}));
}

struct PercentCase {
  uint32_t bytes;
  uint32_t total;
  uint32_t percent;
};

TEST(DownloadPercentTest, IsBytesTimes100OverTheTotalTakenAsAtLeast1) {
  for (const PercentCase& c : std::vector<PercentCase>{{0, 0, 0},
                                                       {3, 0, 300},
                                                       {0, 1351680, 0},
                                                       {675840, 1351680, 50},
                                                       {1351679, 1351680, 99},
                                                       {1351680, 1351680, 100},
                                                       {0xFFFFFFFF, 0xFFFFFFFF, 100}}) {
    EXPECT_EQ(downloadPercent(c.bytes, c.total), c.percent) << c.bytes << "/" << c.total;
  }
}

TEST(ProgressTextTest, FollowsThePercentage) {
  const std::vector<std::pair<uint32_t, const char*>> cases{{0, text::kInitiating},
                                                            {1, text::kSending},
                                                            {99, text::kSending},
                                                            {100, text::kFinishing},
                                                            {300, text::kFinishing}};
  for (const auto& [percent, expected] : cases) {
    EXPECT_STREQ(progressText(percent), expected) << percent;
  }
}

}  // namespace
}  // namespace updater::test
