// What user changes of parameters do: the solo logic, presets, phantom power and the unit's
// settings.
#include <algorithm>
#include <array>

#include "control_panel/hal/unit_coefficients.h"
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

// Output mutes against the solos; every outcome must survive an idle pass that reads the
// unit's own mute back and sends the output words.
struct OutputMuteCase {
  const char* name;
  std::vector<std::pair<int, float>> changes;  // user changes, in order
  std::array<int, 4> solos;
  std::array<int, 4> mutes;
  uint32_t hardwareMute;  // coefficient 88
  friend void PrintTo(const OutputMuteCase& c, std::ostream* os) { *os << c.name; }
};

class OutputMuteTest : public MixerFixture, public ::testing::WithParamInterface<OutputMuteCase> {};

TEST_P(OutputMuteTest, LeavesTheseSolosAndMutes) {
  for (const auto& [id, normalised] : GetParam().changes) userSet(id, normalised);
  EXPECT_EQ(coefficient(88), GetParam().hardwareMute);
  hal().updateAllMixers();
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(value(param::kOutputSolo + k), GetParam().solos[k]) << "solo " << k;
    EXPECT_EQ(value(param::kOutputMute + k), GetParam().mutes[k]) << "mute " << k;
    EXPECT_EQ(coefficient(80 + k) >> 24 & 1, static_cast<uint32_t>(GetParam().mutes[k])) << k;
  }
  EXPECT_EQ(coefficient(88), GetParam().hardwareMute);
}

constexpr int kSolo12 = param::kOutputSolo;
constexpr int kSolo34 = param::kOutputSolo + 1;
constexpr int kMute12 = param::kOutputMute;
constexpr int kMute34 = param::kOutputMute + 1;
constexpr int kMute56 = param::kOutputMute + 2;

INSTANTIATE_TEST_SUITE_P(
    Cases, OutputMuteTest,
    ::testing::Values(
        OutputMuteCase{"Pair12DrivesTheUnitsMute", {{kMute12, 1}}, {0, 0, 0, 0}, {1, 0, 0, 0}, 1},
        OutputMuteCase{
            "Pair12Unmuted", {{kMute12, 1}, {kMute12, 0}}, {0, 0, 0, 0}, {0, 0, 0, 0}, 0},
        OutputMuteCase{"Pair34LeavesTheUnitsMute", {{kMute34, 1}}, {0, 0, 0, 0}, {0, 1, 0, 0}, 0},
        OutputMuteCase{"TheOnlySoloedPair12MutedStaysMuted",
                       {{kSolo12, 1}, {kMute12, 1}},
                       {0, 0, 0, 0},
                       {1, 0, 0, 0},
                       1},
        OutputMuteCase{"TheOnlySoloedPair34MutedStaysMuted",
                       {{kMute56, 1}, {kSolo34, 1}, {kMute34, 1}},
                       {0, 0, 0, 0},
                       {0, 1, 1, 0},
                       0},
        OutputMuteCase{"OneOfTwoSoloedPairsMutedLeavesTheOther",
                       {{kSolo12, 1}, {kSolo34, 1}, {kMute34, 1}},
                       {1, 0, 0, 0},
                       {0, 1, 1, 1},
                       0},
        OutputMuteCase{
            "UnmutingJoinsTheSolo", {{kSolo34, 1}, {kMute12, 0}}, {1, 1, 0, 0}, {0, 0, 1, 1}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MixerHostTest, DisablingSpdifOrAdat1ReleasesItsSolosOneByOne) {
  struct Group {
    int enableId;
    int firstInput;
    int inputs;
  };
  userSet(mute(0), 1);
  for (const auto& [enableId, firstInput, inputs] :
       {Group{param::kEnableSpdif, 8, 2}, Group{param::kEnableAdat1, 10, 8}}) {
    for (int i = firstInput; i < firstInput + inputs; ++i) userSet(solo(i), 1);
    userSet(enableId, 1);  // enabling does nothing
    EXPECT_EQ(value(solo(firstInput)), 1.0f) << enableId;
    userSet(enableId, 0);
    for (int i = firstInput; i < firstInput + inputs; ++i) {
      EXPECT_EQ(value(solo(i)), 0.0f) << enableId << " input " << i;
    }
    EXPECT_EQ(mutedInputs(plugin), std::vector<int>{0}) << enableId;
  }
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

TEST_F(MixerHostTest, PhantomPower58AndInsertsAreSwitchedWithTheirInputsSilenced) {
  struct Switch {
    int id;
    uint32_t coefficient;
    int firstInput;
    int inputs;
  };
  for (int i = 0; i < 8; ++i) userSet(param::kAnalogueLevel + i, 0.8f);
  hal().updateAllMixers();
  const uint32_t level = static_cast<uint32_t>(0.8f * 32767);
  using Write = std::pair<uint32_t, uint32_t>;
  for (const auto& [id, coefficientIndex, firstInput, inputs] :
       {Switch{param::kPhantom5to8, 99, 4, 4}, Switch{param::kInsertInput1, 100, 4, 1},
        Switch{param::kInsertInput2, 101, 5, 1}}) {
    for (const float on : {1.0f, 0.0f}) {
      const size_t before = writes().size();
      userSet(id, on);
      const auto log = writes();
      const std::vector<Write> switched(log.begin() + static_cast<long>(before), log.end());
      const auto at = std::find(switched.begin(), switched.end(),
                                Write{coefficientIndex, static_cast<uint32_t>(on)});
      ASSERT_NE(at, switched.end()) << id;
      std::vector<Write> silenced(switched.begin(), at);
      std::vector<Write> expected;
      for (uint32_t gain = 2 * firstInput; gain < 2u * (firstInput + inputs); ++gain) {
        expected.push_back({gain, 0});
      }
      EXPECT_EQ(silenced, expected) << id << " " << on;
      for (int i = 0; i < 8; ++i) EXPECT_EQ(value(param::kAnalogueLevel + i), 0.8f) << id << i;
      hal().updateAllMixers();
      EXPECT_EQ(coefficient(2 * firstInput), level) << id;
    }
  }
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

// The rate index of "Select Sample Rate" as the stepped law gives it (1-9), and the rate
// the unit is asked for; 0: no request (the current rate, or an index past the table).
struct RateCase {
  int index;
  uint32_t hz;
  friend void PrintTo(const RateCase& c, std::ostream* os) { *os << c.index; }
};

class SampleRateIndexTest : public MixerFixture, public ::testing::WithParamInterface<RateCase> {};

TEST_P(SampleRateIndexTest, AsksForItsRate) {
  const size_t before = writes().size();
  userSet(param::kSampleRate, static_cast<float>(GetParam().index - 1) / 8);
  ASSERT_EQ(plugin.getReal(param::kSampleRate), static_cast<float>(GetParam().index));
  const auto log = writes();
  std::vector<uint32_t> requested;
  for (auto it = log.begin() + static_cast<long>(before); it != log.end(); ++it) {
    if (it->first == 84) requested.push_back(SampleRateOfCode(it->second));
  }
  EXPECT_EQ(requested,
            GetParam().hz ? std::vector<uint32_t>{GetParam().hz} : std::vector<uint32_t>{});
}

INSTANTIATE_TEST_SUITE_P(Indices, SampleRateIndexTest,
                         ::testing::Values(RateCase{1, 44100}, RateCase{2, 0}, RateCase{3, 88200},
                                           RateCase{4, 96000}, RateCase{5, 176400},
                                           RateCase{6, 192000}, RateCase{7, 0}, RateCase{8, 0},
                                           RateCase{9, 0}),
                         [](const auto& info) { return std::to_string(info.param.index); });

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
