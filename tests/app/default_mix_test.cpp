// The unit's default mix across program runs: saved at the end, and never lost when the
// user declines it at start.
#include <filesystem>
#include <fstream>
#include <iterator>

#include "control_panel/hal/unit_coefficients.h"
#include "control_panel/mixer/mix_file_format.h"
#include "control_panel/mixer/velmora_parameters.h"
#include "simbus/unit_model.h"
#include "tests/app/app_fixture.h"

namespace velmora::test {
namespace {

using DefaultMixTest = AppFixture;

std::string contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST_F(DefaultMixTest, QuittingSavesTheMix) {
  start();
  plugin().setNormalised(param::kAnalogueLevel, 0.25f);
  const UnitSerial unit = hal().CurrentSerial();
  quit();
  launch();
  EXPECT_EQ(hal().CurrentSerial(), unit);
  EXPECT_EQ(plugin().getNormalised(param::kAnalogueLevel), 0.25f);
}

TEST_F(DefaultMixTest, ADeclinedMixIsKeptBesideTheOneSavedAtTheEnd) {
  start();
  plugin().setNormalised(param::kAnalogueLevel, 0.25f);
  const UnitSerial unit = hal().CurrentSerial();
  const std::string path = defaultMixFilePath(unit.low, unit.high);
  quit();
  const std::string saved = contents(path);
  ASSERT_FALSE(saved.empty());

  // The mix was saved at 48 kHz; the unit now runs at 96.
  bus->setDriverRate(96000);
  bus->poke(serial, simbus::coefficient::kSampleRateCode, SampleRateCode(96000));
  int questions = 0;
  launch([&](const std::string&) {
    ++questions;
    return false;
  });
  ASSERT_EQ(questions, 1);
  EXPECT_NE(panel->ui().status().find(path + ".declined"), std::string::npos)
      << panel->ui().status();
  plugin().setNormalised(param::kAnalogueLevel, 0.75f);
  quit();
  EXPECT_EQ(contents(path + ".declined"), saved) << "the declined mix is kept as it was";
  EXPECT_NE(contents(path), saved);
}

TEST_F(DefaultMixTest, AUnitPluggedInAfterStartUpGetsItsSavedMix) {
  start();
  plugin().setNormalised(param::kAnalogueLevel, 0.25f);
  const UnitSerial unit = hal().CurrentSerial();
  const std::string path = defaultMixFilePath(unit.low, unit.high);
  quit();
  const std::string saved = contents(path);
  bus->unplug(serial);
  launch();
  ASSERT_FALSE(hal().IsOpen());
  bus->plug(simbus::UnitSpec{simbus::Model::Studio, serial});
  for (int pass = 0; pass < 4 * ControlPanel::kSlowPassEvery && !hal().IsOpen(); ++pass) pump();
  ASSERT_TRUE(hal().IsOpen());
  pump();
  EXPECT_EQ(plugin().getNormalised(param::kAnalogueLevel), 0.25f);
  quit();
  EXPECT_EQ(contents(path), saved);
}

// A unit that arrived but was not opened yet when the program ended: its default mix was
// never loaded, so the panel's values must not be saved over it.
TEST_F(DefaultMixTest, QuittingBeforeALateUnitOpenedLeavesItsMixAlone) {
  start();
  plugin().setNormalised(param::kAnalogueLevel, 0.25f);
  const UnitSerial unit = hal().CurrentSerial();
  const std::string path = defaultMixFilePath(unit.low, unit.high);
  quit();
  const std::string saved = contents(path);
  bus->unplug(serial);
  launch();
  bus->plug(simbus::UnitSpec{simbus::Model::Studio, serial});
  hal().OnMSWDeviceChange();  // listed, not yet opened by a pass
  ASSERT_EQ(VelmoraHAL::UnitCount(), 1u);
  ASSERT_FALSE(hal().IsOpen());
  quit();
  EXPECT_EQ(contents(path), saved);
}

}  // namespace
}  // namespace velmora::test
