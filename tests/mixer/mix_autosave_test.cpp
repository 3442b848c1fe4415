// The autosave of the default mix on the fake clock: the file written two seconds after the
// last change, equal to a save, without a flash store; a failure told once.
#include "control_panel/mixer/mix_autosave.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "control_panel/mixer/mix_file_format.h"
#include "control_panel/mixer/velmora_parameters.h"
#include "mixer_fixture.h"

namespace velmora::test {
namespace {

class MixAutosaveTest : public MixerFixture {
 protected:
  std::unique_ptr<MixAutosave> autosave;
  void SetUp() override {
    MixerFixture::SetUp();
    autosave = std::make_unique<MixAutosave>(*host, hal(), ui);
  }

  std::string defaultPath() {
    const UnitSerial unit = hal().CurrentSerial();
    return defaultMixFilePath(unit.low, unit.high);
  }
  static std::string bytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
  }
  void pass(uint32_t milliseconds) {
    clock.advance(milliseconds);
    autosave->idle(clock.tickCount());
  }
};

TEST_F(MixAutosaveTest, WritesTheDefaultMixTwoSecondsAfterTheLastChangeWithoutAFlashStore) {
  const auto flashBefore = bus->flashOf(serial);
  userSet(InputLevelId(2), 0.25f);
  pass(0);
  pass(1500);
  userSet(InputLevelId(2), 0.75f);  // the delay counts from the last change
  pass(0);
  pass(1999);
  EXPECT_FALSE(std::filesystem::exists(defaultPath()));
  pass(1);
  ASSERT_TRUE(std::filesystem::exists(defaultPath()));
  EXPECT_EQ(bus->flashOf(serial), flashBefore);
  const std::string saved = folder.path() + "/explicit.vmpro";
  ASSERT_TRUE(host->saveMixFile(saved));
  EXPECT_EQ(bytes(defaultPath()), bytes(saved));
  EXPECT_NE(bus->flashOf(serial), flashBefore);  // an explicit save stores, the autosave not
  std::filesystem::remove(defaultPath());
  pass(5000);  // nothing changed since: nothing written
  EXPECT_FALSE(std::filesystem::exists(defaultPath()));
}

TEST_F(MixAutosaveTest, FailureIsToldOnceAndRetriedAtTheNextChange) {
  std::filesystem::create_directories(defaultPath());  // a folder where the file belongs
  for (float level : {0.1f, 0.2f}) {
    userSet(InputLevelId(0), level);
    pass(0);
    pass(MixAutosave::kDelayMs);
  }
  EXPECT_EQ(std::count(ui.shown.begin(), ui.shown.end(),
                       std::string("status: ") + MixAutosave::kFailureStatus),
            1);
  std::filesystem::remove(defaultPath());
  pass(MixAutosave::kDelayMs);
  EXPECT_FALSE(std::filesystem::exists(defaultPath()));  // retried at a change, not on a timer
  userSet(InputLevelId(0), 0.3f);
  pass(0);
  pass(MixAutosave::kDelayMs);
  EXPECT_TRUE(std::filesystem::exists(defaultPath()));
}

}  // namespace
}  // namespace velmora::test
