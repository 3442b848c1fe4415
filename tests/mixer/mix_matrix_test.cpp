// The mixer engine's numbers, what one update cycle sends, and the front-panel controls.
#include "control_panel/mixer/mix_matrix.h"

#include <algorithm>

#include "mixer_fixture.h"

namespace velmora::test {
namespace {

using MixMatrixTest = MixerFixture;

TEST(MixMatrixLawsTest, AttenuationOfOutputLevels) {
  const std::pair<float, int32_t> cases[] = {
      {1.0f, 0}, {0.5f, 11}, {0.25f, 21}, {0.1f, 32}, {0.0f, 127}};
  for (const auto& [level, attenuation] : cases) {
    EXPECT_EQ(MixMatrix::attenuation(level), attenuation) << level;
  }
  EXPECT_EQ(MixMatrix::gL(0.5f), 1.0f);
  EXPECT_EQ(MixMatrix::gR(0.5f), 1.0f);
  EXPECT_EQ(MixMatrix::gL(1.0f), 0.0f);
  EXPECT_EQ(MixMatrix::gR(0.25f), 0.5f);
}

TEST_F(MixMatrixTest, DefaultsAndPansBecomeTheseGains) {
  hal().updateAllMixers();
  for (uint32_t i = 0; i < 52; ++i) EXPECT_EQ(coefficient(i), 16383u) << i;
  const std::pair<uint32_t, uint32_t> routing[] = {
      {52, 32767}, {53, 32767}, {54, 32767}, {55, 32767},  // outputs 1+2: playback, mix
      {56, 32767}, {57, 0},     {58, 32767}, {59, 32767}, {60, 0},
      {61, 32767}, {74, 32767}, {75, 0},     {76, 32767}, {79, 32767}};
  for (const auto& [index, gain] : routing) EXPECT_EQ(coefficient(index), gain) << index;
  EXPECT_EQ(coefficient(85), 17u);

  userSet(param::kAnaloguePan, 0);  // input 1 hard left
  userSet(param::kAnaloguePan + 1, 1);
  hal().updateAllMixers();
  EXPECT_EQ(coefficient(0), 16383u);
  EXPECT_EQ(coefficient(1), 0u);
  EXPECT_EQ(coefficient(2), 0u);
  EXPECT_EQ(coefficient(3), 16383u);
}

TEST_F(MixMatrixTest, AMutedDimmedFollowingPairHasItsControlWord) {
  for (int id : {param::kOutputMute, param::kOutputDim, param::kHardwareControl}) {
    plugin.setNormalised(id, 1);
  }
  plugin.setNormalised(param::kOutputLevel, 1.0f);
  // The unit's own buttons agree, and its knob is at full, as the pair now follows it.
  bus->poke(serial, 86, 255);
  bus->poke(serial, 87, 1);
  bus->poke(serial, 88, 1);
  hal().updateAllMixers();
  EXPECT_EQ(coefficient(80), 0x15000000u);
}

TEST_F(MixMatrixTest, OnlyChangesAreSentAndAResetSendsEverythingInSevenRequests) {
  hal().updateAllMixers();
  const uint64_t blockWrites = bus->transferCounts(serial)->blockWrite;
  const size_t logged = writes().size();
  hal().updateAllMixers();  // nothing changed
  EXPECT_EQ(bus->transferCounts(serial)->blockWrite, blockWrites);

  userSet(param::kAnalogueLevel + 2, 0.25f);  // input 3: its two gains, one request
  hal().updateAllMixers();
  EXPECT_EQ(bus->transferCounts(serial)->blockWrite, blockWrites + 1);
  const auto log = writes();
  const std::vector<std::pair<uint32_t, uint32_t>> sent(log.begin() + static_cast<long>(logged),
                                                        log.end());
  const std::vector<std::pair<uint32_t, uint32_t>> inputThree{{4, 8191}, {5, 8191}};
  EXPECT_EQ(sent, inputThree);

  static_cast<MixMatrix*>(VelmoraHAL::MixerAt(0))->resetSentValues();
  const size_t beforeReset = writes().size();
  hal().updateAllMixers();
  EXPECT_EQ(writes().size() - beforeReset, 85u);
  EXPECT_EQ(bus->transferCounts(serial)->blockWrite, blockWrites + 1 + 7);
}

TEST_F(MixMatrixTest, LinkedDimButtonSetsAllPairsAndWritesTheDimBack) {
  userSet(param::kLinkOutputLevels, 1);
  bus->poke(serial, 87, 1);  // the dim button pressed on the unit
  hal().updateAllMixers();
  for (int k = 0; k < 4; ++k) EXPECT_EQ(value(param::kOutputDim + k), 1.0f) << k;
  EXPECT_EQ(coefficient(85), 511u);
  const auto log = writes();
  EXPECT_NE(std::find(log.begin(), log.end(), std::pair<uint32_t, uint32_t>{87, 1}), log.end());
}

TEST_F(MixMatrixTest, TheKnobHoldsTheLevelsOfFollowingPairs) {
  plugin.setNormalised(param::kHardwareControl, 1);
  plugin.setNormalised(param::kHardwareControl + 2, 1);
  bus->poke(serial, 86, 0x7F3100C8);  // position 200; the upper bits are not the knob's
  hal().updateAllMixers();
  EXPECT_EQ(value(param::kOutputLevel), 200.0f / 255.0f);
  EXPECT_EQ(value(param::kOutputLevel + 2), 200.0f / 255.0f);
  EXPECT_EQ(value(param::kOutputLevel + 1), 1.0f);
  plugin.setNormalised(param::kOutputLevel, 0.1f);  // the knob wins while it stays
  hal().updateAllMixers();
  EXPECT_EQ(value(param::kOutputLevel), 200.0f / 255.0f);
}

TEST_F(MixMatrixTest, AUnitNeverCurrentGetsNoOutputWordsOrFollowMask) {
  const uint32_t other = bus->plug(simbus::UnitSpec{simbus::Model::Compact}).value();
  hal().OnMSWDeviceChange();
  ASSERT_NE(VelmoraHAL::MixerAt(1), nullptr);
  hal().updateAllMixers();
  hal().updateAllMixers();
  for (const auto& [index, value] : bus->coefficientWrites(other)) {
    EXPECT_FALSE(index >= 80 && index <= 85) << index << " = " << value;
  }
  EXPECT_EQ(coefficient(85), 17u);  // the current unit has its own
}

TEST_F(MixMatrixTest, AFailedBatchIsLoggedAndNotSentAgain) {
  hal().updateAllMixers();
  userSet(param::kAnalogueLevel, 0.3f);
  bus->addFault({.action = simbus::FaultAction::Fail,
                 .kind = simbus::TransferKind::BlockWrite,
                 .serial = serial,
                 .skip = 0,
                 .count = 1,
                 .status = platform::win_error::GenFailure});
  hal().updateAllMixers();
  const uint64_t writesAfter = bus->transferCounts(serial)->blockWrite;
  hal().updateAllMixers();
  EXPECT_EQ(bus->transferCounts(serial)->blockWrite, writesAfter);
  EXPECT_EQ(coefficient(0), 16383u);
}

}  // namespace
}  // namespace velmora::test
