// What user changes of parameters do: the solo logic, presets, phantom power and the unit's
// settings.
#include <algorithm>

#include "control_panel/mixer/velmora_parameters.h"
#include "mixer_fixture.h"

namespace velmora::test {
namespace {

using MixerHostTest = MixerFixture;

int solo(int input) {
  return param::kInputSolo + input;
}
int mute(int input) {
  return param::kInputMute + input;
}

std::vector<int> mutedInputs(Plugin& p) {
  std::vector<int> muted;
  for (int i = 0; i < kInputCount; ++i) {
    if (p.getNormalised(mute(i)) != 0) muted.push_back(i);
  }
  return muted;
}

TEST(VelmoraParametersTest, TableHoldsEveryParameterAtItsDefault) {
  VelmoraPlugin plugin;
  ASSERT_EQ(plugin.getParameterCount(), 181);
  for (int id = 0; id < 181; ++id) EXPECT_EQ(kVelmoraParameters[id].id, id);
  const std::pair<int, const char*> names[] = {
      {0, "Hardware Control Outputs 1+2"},
      {19, "Outputs 7+8 Level Dim"},
      {35, ""},
      {60, "Input/Playback Balance to S/PDIF Outputs"},
      {61, "Playback 1+2 or 9+10 to S/PDIF"},
      {103, "ADAT 2 Input 8 Solo"},
      {138, "S/PDIF Inputs 1+2 Stereo Link"},
      {178, "ADAT 2 Inputs 7+8 Stereo Link"},
      {179, "Select Input Mix Group"},
  };
  for (const auto& [id, name] : names) EXPECT_STREQ(kVelmoraParameters[id].name, name) << id;
  const std::pair<int, float> defaults[] = {{41, 0.125f}, {70, 0.5f},  {62, 0.5f},
                                            {20, 1.0f},   {138, 1.0f}, {46, 1.0f}};
  for (const auto& [id, normalised] : defaults) EXPECT_EQ(plugin.getNormalised(id), normalised);
  EXPECT_EQ(plugin.getReal(41), 2.0f);
  EXPECT_EQ(plugin.getReal(70), 0.0f);
}

TEST_F(MixerHostTest, SoloingAnInputMutesTheOthersAndReleasingRestoresTheEarlierMutes) {
  userSet(mute(5), 1);
  userSet(solo(2), 1);  // input 3
  std::vector<int> expected;
  for (int i = 0; i < kInputCount; ++i) {
    if (i != 2) expected.push_back(i);
  }
  EXPECT_EQ(mutedInputs(plugin), expected);
  userSet(solo(2), 0);
  EXPECT_EQ(mutedInputs(plugin), std::vector<int>{5});
}

TEST_F(MixerHostTest, SecondSoloJoinsAndReleasingOneLeavesTheOther) {
  userSet(solo(0), 1);
  userSet(solo(1), 1);
  EXPECT_EQ(value(mute(1)), 0.0f);
  EXPECT_EQ(value(mute(0)), 0.0f);
  userSet(solo(1), 0);
  EXPECT_EQ(value(mute(1)), 1.0f);
  EXPECT_EQ(value(mute(0)), 0.0f);
  EXPECT_EQ(value(solo(0)), 1.0f);
}

TEST_F(MixerHostTest, UnmutingJoinsTheSoloAndMutingASoloedInputReleasesIt) {
  userSet(solo(0), 1);
  userSet(mute(4), 0);  // unmuting input 5 while input 1 is soloed
  EXPECT_EQ(value(solo(4)), 1.0f);
  userSet(mute(0), 1);  // muting soloed input 1
  EXPECT_EQ(value(solo(0)), 0.0f);
  EXPECT_EQ(value(mute(0)), 1.0f);
  EXPECT_EQ(value(mute(4)), 0.0f);  // still soloed
}

TEST_F(MixerHostTest, DisablingAdat2ReleasesItsSolosOneByOne) {
  userSet(mute(0), 1);
  for (int i = 18; i < 26; ++i) userSet(solo(i), 1);
  userSet(param::kEnableAdat2, 0);
  for (int i = 18; i < 26; ++i) EXPECT_EQ(value(solo(i)), 0.0f);
  EXPECT_EQ(mutedInputs(plugin), std::vector<int>{0});
}

TEST_F(MixerHostTest, OutputSoloDrivesTheHardwareMuteOfPair12) {
  userSet(param::kOutputSolo + 1, 1);
  EXPECT_EQ(value(param::kOutputMute), 1.0f);
  EXPECT_EQ(coefficient(88), 1u);
  userSet(param::kOutputSolo + 1, 0);
  EXPECT_EQ(value(param::kOutputMute), 0.0f);
  EXPECT_EQ(coefficient(88), 0u);
}

TEST_F(MixerHostTest, MutingTheOnlySoloedPair12SticksThroughTheNextIdlePass) {
  userSet(param::kOutputSolo, 1);
  userSet(param::kOutputMute, 1);
  EXPECT_EQ(value(param::kOutputSolo), 0.0f);
  EXPECT_EQ(coefficient(88), 1u);
  hal().updateAllMixers();  // the unit's mute is read back
  EXPECT_EQ(value(param::kOutputMute), 1.0f);
  EXPECT_EQ(coefficient(80) & 0x1000000u, 0x1000000u);
  for (int k = 1; k < 4; ++k) EXPECT_EQ(value(param::kOutputMute + k), 0.0f) << k;
}

TEST_F(MixerHostTest, TrackModeCentresUnlinkedPairsAndSoundCardModePlaysOwnPlayback) {
  userSet(param::kAnaloguePan, 0);
  userSet(param::kAnaloguePan + 2, 0);
  userSet(param::kAnalogueLink + 1, 0.1f);  // exactly 0.1 counts as linked
  userSet(param::kTrackMode, 1);
  EXPECT_EQ(value(param::kAnaloguePan), 0.5f);
  EXPECT_EQ(value(param::kAnaloguePan + 2), 0.0f);
  userSet(param::kSoundCardMode, 1);
  for (int id : {53, 54, 55, 56, 57, 58, 59, 60, 61}) EXPECT_EQ(value(id), 1.0f) << id;
}

TEST_F(MixerHostTest, PhantomPowerIsSwitchedWithItsInputsSilenced) {
  userSet(param::kAnalogueLevel + 1, 0.8f);
  hal().updateAllMixers();
  const size_t before = writes().size();
  userSet(param::kPhantom1to4, 1);
  const auto log = writes();
  const std::vector<std::pair<uint32_t, uint32_t>> switched(log.begin() + static_cast<long>(before),
                                                            log.end());
  const auto phantom =
      std::find(switched.begin(), switched.end(), std::pair<uint32_t, uint32_t>{98, 1});
  ASSERT_NE(phantom, switched.end());
  for (uint32_t gain = 0; gain < 8; ++gain) {  // inputs 1-4, both channels, before the switch
    EXPECT_NE(std::find(switched.begin(), phantom, std::pair<uint32_t, uint32_t>{gain, 0}), phantom)
        << gain;
  }
  EXPECT_EQ(value(param::kAnalogueLevel + 1), 0.8f);
  hal().updateAllMixers();
  EXPECT_EQ(coefficient(2), static_cast<uint32_t>(0.8f * 32767));
}

TEST_F(MixerHostTest, IdentifyPsuMidiAndDimWriteTheirCoefficients) {
  userSet(param::kIdentify, 1);
  userSet(param::kPsuHeadroom, 1);
  userSet(param::kMidiThrough, 1);
  userSet(param::kOutputDim, 1);
  EXPECT_EQ(coefficient(102), 2049u);
  EXPECT_EQ(coefficient(91), 1u);
  EXPECT_EQ(coefficient(104), 1u);
  EXPECT_EQ(coefficient(87), 1u);
}

TEST_F(MixerHostTest, SyncSourceAndUnitName) {
  userSet(param::kSyncLocked, 1);
  plugin.setReal(param::kSyncSource, 2);
  plugin.userChanged(param::kSyncSource, true);
  EXPECT_EQ(coefficient(93), 2u);
  EXPECT_EQ(value(param::kSyncLocked), 0.0f);

  ui.nameChoice = "Desk";
  userSet(param::kEditUnitName, 1);
  EXPECT_EQ(coefficient(94), 0x4465736Bu);
  const std::vector<std::string> tail(ui.shown.end() - 5, ui.shown.end());
  EXPECT_EQ(tail,
            (std::vector<std::string>{"detach", "name dialog: Velmora Studio",
                                      "status: \"Desk\" ready", "unit name: Desk", "reattach"}));
}

TEST_F(MixerHostTest, RateAndAc3AreRefusedWithTwoUnits) {
  bus->plug(simbus::UnitSpec{simbus::Model::Compact});
  hal().OnMSWDeviceChange();
  plugin.setReal(param::kSampleRate, 4);
  plugin.userChanged(param::kSampleRate, true);
  EXPECT_EQ(plugin.getReal(param::kSampleRate), 2.0f);
  userSet(param::kAc3Passthrough, 1);
  EXPECT_EQ(value(param::kAc3Passthrough), 0.0f);
  EXPECT_EQ(std::count_if(ui.shown.begin(), ui.shown.end(),
                          [](const std::string& s) { return s.rfind("message: ", 0) == 0; }),
            2);
}

TEST_F(MixerHostTest, ARefusedRateChangePutsTheParameterBack) {
  hal().Close();  // the hardware layer refuses while closed
  plugin.setReal(param::kSampleRate, 5);
  plugin.userChanged(param::kSampleRate, true);
  EXPECT_EQ(plugin.getReal(param::kSampleRate), 2.0f);
  EXPECT_EQ(ui.shown.back(), "refresh");
}

class SmallModelTest : public MixerFixture {
 protected:
  void SetUp() override { start(simbus::Model::Compact); }
};

TEST_F(SmallModelTest, PhantomAndInsertDoNothing) {
  const size_t before = writes().size();
  userSet(param::kPhantom1to4, 1);
  userSet(param::kInsertInput1, 1);
  EXPECT_EQ(writes().size(), before);
  EXPECT_EQ(coefficient(98), 0u);
}

}  // namespace
}  // namespace velmora::test
