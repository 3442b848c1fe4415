// The normal layout driven like a user drives it: presses, drags and releases at window
// coordinates over the real parameter set, checked through the parameters and the host.
#include <gtest/gtest.h>

#include "control_panel/panels/fl_buttons.h"
#include "control_panel/panels/fl_containers.h"
#include "tests/panels/panel_fixture.h"

namespace velmora::test {
namespace {

struct NormalLayoutTest : PanelTest {
  PanelDriver& panel() {
    if (!driver) {
      // Attaching settles what the widgets keep in step (the ADAT enables follow their
      // availability, linked S/PDIF pans go hard left and right); the tests start after.
      driver = std::make_unique<PanelDriver>(plugin, PanelLayout::Normal);
      host.calls.clear();
    }
    return *driver;
  }
  std::unique_ptr<PanelDriver> driver;
};

constexpr Point kLinkOutputs{155, 343};
constexpr Point kInputLink12{79, 33};
constexpr Point kSpdifTab{10, 90};
constexpr Point kAdat2Tab{10, 190};
constexpr Point kAc3{260, 252};
constexpr Point kMidiThrough{260, 270};
constexpr Point kPhantom58{50, 255};
constexpr int kInputTrayRow = 92;

TEST_F(NormalLayoutTest, AClickTogglesTheButtonItWasPressedOnAndTellsTheHost) {
  panel().click(kAc3.x, kAc3.y);
  EXPECT_EQ(value(34), 1.0f);
  EXPECT_EQ(host.calls, std::vector<int>{34});
}

TEST_F(NormalLayoutTest, APressReleasedOverAnotherButtonChangesNeither) {
  panel().press(kAc3.x, kAc3.y);
  panel().release(kMidiThrough.x, kMidiThrough.y);
  panel().click(kMidiThrough.x + 200, kMidiThrough.y + 100);  // a release over the background
  EXPECT_EQ(value(34), 0.0f);
  EXPECT_EQ(value(33), 0.0f);
  EXPECT_TRUE(host.calls.empty());
}

TEST_F(NormalLayoutTest, LinkingOutputsWithOnlyPairThreeFourMutedMutesAllAndUnlinkingKeepsThem) {
  set(13, 1);
  panel().click(kLinkOutputs.x, kLinkOutputs.y);
  EXPECT_EQ(value(24), 1.0f);
  for (int id = 12; id <= 15; ++id) EXPECT_EQ(value(id), 1.0f) << id;
  panel().click(kLinkOutputs.x, kLinkOutputs.y);
  EXPECT_EQ(value(24), 0.0f);
  for (int id = 12; id <= 15; ++id) EXPECT_EQ(value(id), 1.0f) << id;
}

TEST_F(NormalLayoutTest, LinkedMuteActsOnAllFourPairs) {
  panel().click(kLinkOutputs.x, kLinkOutputs.y);
  panel().click(650, 36 + 73 * 2 + 45);  // mute of outputs 5+6
  for (int id = 12; id <= 15; ++id) EXPECT_EQ(value(id), 1.0f) << id;
}

TEST_F(NormalLayoutTest, LinkingInputsOneTwoTakesTheLowerLevelAndHardPansThatComeBack) {
  set(62, 0.8f);
  set(63, 0.3f);
  set(70, 0.4f);
  set(71, 0.6f);
  panel().click(kInputLink12.x, kInputLink12.y);
  EXPECT_EQ(value(130), 1.0f);
  EXPECT_FLOAT_EQ(value(62), 0.3f);
  EXPECT_FLOAT_EQ(value(63), 0.3f);
  EXPECT_EQ(value(70), 0.0f);
  EXPECT_EQ(value(71), 1.0f);
  panel().click(kInputLink12.x, kInputLink12.y);
  EXPECT_EQ(value(130), 0.0f);
  EXPECT_FLOAT_EQ(value(70), 0.4f);
  EXPECT_FLOAT_EQ(value(71), 0.6f);
}

TEST_F(NormalLayoutTest, TheSpdifTabCoversStripsThreeToEightAndDisablingSpdifReturnsToAnalogue) {
  panel().click(kSpdifTab.x, kSpdifTab.y);
  EXPECT_EQ(real(179), 1.0f);
  auto* tray = panel().view<flADATTray>(kInputTrayRow);
  ASSERT_NE(tray, nullptr);
  EXPECT_TRUE(tray->isCovering());
  panel().drag({170, 150}, {170, 70});  // fader 3 lies under the cover
  EXPECT_EQ(value(64), 0.5f);
  EXPECT_EQ(host.calls, std::vector<int>{179});
  set(46, 0);
  EXPECT_EQ(real(179), 0.0f);
  EXPECT_FALSE(tray->isCovering());
}

TEST_F(NormalLayoutTest, TheAdat2TabMakesFaderFiveAndItsPanActOnAdat2Input5) {
  set(48, 1);
  set(50, 1);
  panel().click(kAdat2Tab.x, kAdat2Tab.y);
  ASSERT_EQ(real(179), 3.0f);
  // Handle of fader 5 (x0 = 280): 29 pixels high, at 50% its centre is 64 + 2 + 47 + 14.
  panel().drag({290, 127}, {290, 64 + 14 + 19});
  EXPECT_FLOAT_EQ(value(163), 0.8f);
  EXPECT_EQ(value(66), 0.5f);
  panel().drag({290, 40}, {290, 20});
  EXPECT_FLOAT_EQ(value(171), 0.6f);
  EXPECT_EQ(value(74), 0.5f);
}

TEST_F(NormalLayoutTest, ADisabledTabTakesNoClick) {
  set(47, 0);
  panel().click(10, 140);  // ADAT 1
  EXPECT_EQ(real(179), 0.0f);
}

struct KnobDrag {
  bool shift;
  Point to;
  float expected;
};

TEST_F(NormalLayoutTest, AnOutputKnobDragAddsAHalfPerHundredPixelsAndATenthWithShift) {
  const KnobDrag cases[] = {
      {false, {650, -40}, 0.7f},  // 100 px up
      {true, {650, -40}, 0.3f},   // 100 px up with Shift
      {false, {750, 60}, 0.7f},   // 100 px right
      {false, {640, 160}, 0.0f},  // down more than right: clamped
  };
  for (const KnobDrag& c : cases) {
    set(20, 0.2f);
    panel().setShift(c.shift);
    panel().drag({650, 60}, c.to);
    EXPECT_FLOAT_EQ(value(20), c.expected) << c.to.x << "," << c.to.y;
  }
}

TEST_F(NormalLayoutTest, ALinkedOutputKnobMovesAllLevelsAndLinkingLowersToTheLowest) {
  set(22, 0.4f);
  panel().click(kLinkOutputs.x, kLinkOutputs.y);
  for (int id = 20; id <= 23; ++id) EXPECT_FLOAT_EQ(value(id), 0.4f) << id;
  panel().drag({650, 60}, {650, 40});
  for (int id = 20; id <= 23; ++id) EXPECT_FLOAT_EQ(value(id), 0.5f) << id;
}

TEST_F(NormalLayoutTest, AnOutputKnobFollowingTheHardwareKnobTakesNoDrag) {
  set(0, 1);
  set(20, 0.2f);
  panel().drag({650, 60}, {650, -40});
  EXPECT_FLOAT_EQ(value(20), 0.2f);
}

struct LampClick {
  int y;
  float rate;  // real value of 41 afterwards
};

TEST_F(NormalLayoutTest, RateLampsTakeHitsOnlyInsideTheirInsets) {
  set(180, 1);
  const LampClick cases[] = {
      {332, 2}, {333, 3}, {341, 3}, {342, 3}, {343, 3}, {345, 4}, {310, 1}, {356, 1}, {358, 5},
  };
  for (const LampClick& c : cases) {
    panel().click(290, c.y);
    EXPECT_EQ(real(41), c.rate) << c.y;
  }
}

TEST_F(NormalLayoutTest, OnTheSmallerModelTheTopRatesAndStudioButtonsAreCovered) {
  set(180, 1);
  set(28, 1);
  set(29, 1);
  panel();
  set(180, 0);
  EXPECT_EQ(value(28), 0.0f);
  EXPECT_EQ(value(29), 0.0f);
  EXPECT_FALSE(panel().view<flIsStudioButton>(65)->isEnabled());
  panel().click(kPhantom58.x, kPhantom58.y);
  EXPECT_EQ(value(29), 0.0f);
  for (float rate : {5.0f, 6.0f}) {
    plugin.setReal(41, rate);
    EXPECT_EQ(real(41), 1.0f) << rate;
  }
  panel().click(290, 372);  // the 192 kHz lamp
  EXPECT_EQ(real(41), 1.0f);
}

TEST_F(NormalLayoutTest, AnUnavailableClockSourceGoesBackToInternal) {
  set(180, 1);
  plugin.setReal(42, 5);  // word clock
  panel();
  set(180, 0);
  EXPECT_EQ(real(42), 0.0f);
}

TEST_F(NormalLayoutTest, AdatInputLampsFollowTheirAvailability) {
  set(49, 1);
  panel();
  EXPECT_EQ(value(47), 1.0f);
  set(49, 0);
  EXPECT_EQ(value(47), 0.0f);
  set(49, 1);
  EXPECT_EQ(value(47), 1.0f);
}

TEST_F(NormalLayoutTest, AltClickResetsTheClickedControl) {
  set(20, 0.2f);
  panel().setAlt(true);
  panel().click(650, 60);
  EXPECT_EQ(value(20), 1.0f);
  panel().click(290, 334);  // between rate lamps: the tray takes no reset
  EXPECT_EQ(real(41), 2.0f);
}

}  // namespace
}  // namespace velmora::test
