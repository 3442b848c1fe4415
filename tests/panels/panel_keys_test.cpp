// The normal layout driven from the keyboard and the wheel: Tab through the controls, keys
// and notches on the focused or pointed-at control, Ctrl-click and Shift-drag, the name and
// value the window shows, and the focus ring.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "control_panel/mixer/mix_journal.h"
#include "control_panel/panels/panel_shortcuts.h"
#include "control_panel/panels/velmora_gui.h"
#include "control_panel/toolkit/focus_order.h"
#include "control_panel/toolkit/i_gui.h"
#include "tests/panels/panel_fixture.h"

namespace velmora::test {
namespace {

constexpr Point kFader1{50, 125};   // Input 1 Mix Level (62)
constexpr Point kFader3{170, 150};  // Input 3 Mix Level (64)
constexpr Point kKnob12{650, 60};   // Output Level for 1+2 (20)
constexpr Point kAc3{260, 252};     // Allow AC3 Passthrough (34)
constexpr Point kSpdifTab{10, 90};

struct PanelKeysTest : PanelTest {
  PanelDriver& panel() {
    if (!driver) {
      driver = std::make_unique<PanelDriver>(plugin, PanelLayout::Normal);
      driver->layout().setKeyboardFocus(true);
      host.calls.clear();
    }
    return *driver;
  }
  View* at(Point p) { return panel().layout().getRoot()->hitTest(p.x, p.y); }
  std::vector<View*> order() { return FocusOrder::of(panel().layout().getRoot()); }
  // Tabs until the control at `p` has the focus; false when Tab never reaches it.
  bool tabTo(Point p) {
    View* target = at(p);
    const size_t stops = order().size();
    for (size_t i = 0; i <= stops; ++i) {
      if (panel().layout().focusedControl() == target) return true;
      panel().layout().key(kKeyTab, false);
    }
    return false;
  }
  void key(int code, bool shift = false) {
    panel().layout().key(code, shift);
    panel().tick();
  }
  std::unique_ptr<PanelDriver> driver;
};

TEST_F(PanelKeysTest, TabWalksEveryControlInReadingOrderBothWaysAndSkipsCoveredOnes) {
  const std::vector<View*> stops = order();
  ASSERT_GT(stops.size(), 40u);
  for (Point p : {kFader1, kFader3, kKnob12, kAc3, kSpdifTab}) {
    EXPECT_NE(std::find(stops.begin(), stops.end(), at(p)), stops.end()) << p.x << "," << p.y;
  }
  for (size_t i = 1; i < stops.size(); ++i) {
    // Rows from top to bottom: no stop starts a row above the one before it.
    EXPECT_GE(stops[i]->rect().top + FocusOrder::kRowTolerance, stops[i - 1]->rect().top) << i;
  }
  panel().layout().key(kKeyTab, false);
  EXPECT_EQ(panel().layout().focusedControl(), stops.front());
  panel().layout().key(kKeyTab, true);
  EXPECT_EQ(panel().layout().focusedControl(), stops.back()) << "Shift+Tab wraps backwards";

  View* fader3 = at(kFader3);
  panel().click(kSpdifTab.x, kSpdifTab.y);  // covers faders 3-8
  const std::vector<View*> covered = order();
  EXPECT_EQ(std::find(covered.begin(), covered.end(), fader3), covered.end());

  set(0, 1);  // output 1+2 follows the unit's knob: its level knob takes no input
  const std::vector<View*> disabled = order();
  EXPECT_EQ(std::find(disabled.begin(), disabled.end(), at(kKnob12)), disabled.end());
  EXPECT_FALSE(panel().layout().wheel(kKnob12.x, kKnob12.y, 1, false));
}

struct KeyCase {
  int key;
  bool shift;
  float expected;  // from 0.5
};

TEST_F(PanelKeysTest, KeysMoveTheFocusedFaderByStepsFineStepsCoarseStepsAndToItsEnds) {
  ASSERT_TRUE(tabTo(kFader1));
  const KeyCase cases[] = {
      {kKeyUp, false, 0.52f},    {kKeyDown, false, 0.48f},  {kKeyUp, true, 0.502f},
      {kKeyDown, true, 0.498f},  {kKeyPageUp, false, 0.6f}, {kKeyPageDown, false, 0.4f},
      {kKeyEnd, false, 1.0f},    {kKeyHome, false, 0.0f},   {kKeyRight, false, 0.5f},
      {kKeyDelete, false, 0.5f},
  };
  for (const KeyCase& c : cases) {
    set(62, 0.5f);
    if (c.key == kKeyDelete) set(62, 0.9f);
    host.calls.clear();
    key(c.key, c.shift);
    EXPECT_NEAR(value(62), c.expected, 1e-6) << "key " << c.key << " shift " << c.shift;
    if (c.expected != 0.5f || c.key == kKeyDelete) {
      EXPECT_EQ(host.calls, std::vector<int>{62}) << "key " << c.key;
    }
  }
}

TEST_F(PanelKeysTest, KnobsTakeRightAndLeftAndButtonsSpaceAndReturn) {
  set(20, 0.2f);
  ASSERT_TRUE(tabTo(kKnob12));
  key(kKeyRight);
  EXPECT_NEAR(value(20), 0.22f, 1e-6);
  key(kKeyLeft, true);
  EXPECT_NEAR(value(20), 0.218f, 1e-6);
  key(kKeyUp);
  EXPECT_NEAR(value(20), 0.218f, 1e-6);

  ASSERT_TRUE(tabTo(kAc3));
  key(' ');
  EXPECT_EQ(value(34), 1.0f);
  key(kKeyReturn);
  EXPECT_EQ(value(34), 0.0f);
}

TEST_F(PanelKeysTest, TheWheelStepsTheControlUnderThePointerAndShiftMakesItFine) {
  const struct {
    int notches;
    bool shift;
    float expected;
  } cases[] = {{1, false, 0.52f}, {-3, false, 0.44f}, {1, true, 0.502f}, {-2, true, 0.496f}};
  for (const auto& c : cases) {
    set(62, 0.5f);
    EXPECT_TRUE(panel().layout().wheel(kFader1.x, kFader1.y, c.notches, c.shift));
    EXPECT_NEAR(value(62), c.expected, 1e-6) << c.notches << " " << c.shift;
  }
  EXPECT_FALSE(panel().layout().wheel(kAc3.x, kAc3.y, 1, false)) << "a button has no steps";
  EXPECT_EQ(value(34), 0.0f);
}

TEST_F(PanelKeysTest, CtrlClickResetsAndShiftDragsAFaderAtATenthOfItsSpeed) {
  set(20, 0.2f);
  panel().window().control = true;
  panel().click(kKnob12.x, kKnob12.y);
  EXPECT_EQ(value(20), 1.0f);
  panel().window().control = false;

  panel().press(kFader1.x, kFader1.y);  // the fader jumps to the pointer
  const float start = value(62);
  panel().setShift(true);
  panel().moveTo(kFader1.x, kFader1.y - 19);  // 19 px: a fifth of the 95-pixel travel, / 10
  EXPECT_NEAR(value(62), start + 0.02f, 1e-5);
  panel().setShift(false);
  panel().moveTo(kFader1.x, kFader1.y - 38);  // the rest of the drag goes on from there
  EXPECT_NEAR(value(62), start + 0.22f, 1e-5);
  panel().release(kFader1.x, kFader1.y - 38);
}

TEST_F(PanelKeysTest, TheReadoutNamesTheControlWithItsValueTextAndFollowsWhatWasTouched) {
  panel();
  EXPECT_EQ(panel().layout().readout(at(kFader1)), "Input 1 Mix Level: -6.0 dB");
  EXPECT_EQ(panel().layout().readout(at(kAc3)), "Allow AC3 Passthrough: Off");
  EXPECT_EQ(panel().layout().takeTouchedRow(), -1);
  panel().layout().wheel(kFader1.x, kFader1.y, 10, false);  // 0.5 + 0.2
  const int row = panel().layout().takeTouchedRow();
  EXPECT_EQ(panel().layout().getView(row), at(kFader1));
  EXPECT_EQ(panel().layout().readout(at(kFader1)), "Input 1 Mix Level: -3.1 dB");
  EXPECT_EQ(panel().layout().takeTouchedRow(), -1) << "taken once";
}

TEST_F(PanelKeysTest, TheFocusRingShowsOnlyWhileThePanelHasTheKeyboard) {
  ASSERT_TRUE(tabTo(kFader1));
  const Rect r = at(kFader1)->rect();
  panel().layout().setKeyboardFocus(false);
  panel().tick();
  const uint32_t without = panel().pixel(r.left - 2, r.top - 2);
  const uint32_t inner = panel().pixel(r.left - 1, r.top - 1);
  panel().layout().setKeyboardFocus(true);
  panel().tick();
  EXPECT_EQ(panel().pixel(r.left - 2, r.top - 2), 0xFFFFFFu);
  EXPECT_EQ(panel().pixel(r.left - 1, r.top - 1), 0u);
  EXPECT_FALSE(without == 0xFFFFFFu && inner == 0u) << "the ring was there without the focus";
}

TEST_F(PanelKeysTest, F2AsksToEditTheUnitName) {
  panel();
  const float before = value(26);
  key(kKeyF2);
  EXPECT_NE(value(26), before);
  EXPECT_EQ(host.calls, std::vector<int>{26});
}

// The panel's own keys press a control of the layout, as a click does, and move the focus to
// it: LOAD 36, SAVE 37, Shrink 39 (Expand 40 in the shrink layout), the floating window 38 and
// the unit switch 27.
struct ShortcutCase {
  int letter;
  PanelLayout layout;
  int parameter;
};

TEST_F(PanelKeysTest, CtrlShortcutsPressTheirControlInEitherLayoutAndTakeTheFocus) {
  for (const ShortcutCase& c :
       {ShortcutCase{'O', PanelLayout::Normal, 36}, ShortcutCase{'S', PanelLayout::Normal, 37},
        ShortcutCase{'L', PanelLayout::Normal, 39}, ShortcutCase{'F', PanelLayout::Normal, 38},
        ShortcutCase{'U', PanelLayout::Normal, 27}, ShortcutCase{'O', PanelLayout::Shrink, 36},
        ShortcutCase{'S', PanelLayout::Shrink, 37}, ShortcutCase{'L', PanelLayout::Shrink, 40},
        ShortcutCase{'U', PanelLayout::Shrink, 27}}) {
    SCOPED_TRACE(std::string(1, static_cast<char>(c.letter)) + " in layout " +
                 layoutName(c.layout));
    PanelDriver panel(plugin, c.layout);
    auto& layout = dynamic_cast<VelmoraGUI&>(panel.layout());
    host.calls.clear();
    const PanelShortcut* shortcut = ctrlShortcut(c.letter);
    ASSERT_NE(shortcut, nullptr);
    EXPECT_TRUE(layout.runShortcut(*shortcut));
    EXPECT_EQ(std::count(host.calls.begin(), host.calls.end(), c.parameter), 1)
        << host.calls.size();
    const int shown[] = {c.parameter};
    EXPECT_TRUE(layout.shows(layout.focusedControl(), shown));
  }
  EXPECT_EQ(ctrlShortcut('Q'), nullptr);
}

TEST_F(PanelKeysTest, TheMenuKeyOpensTheFocusedControlsMenuOrElseTheMainMenu) {
  for (const auto& [key, shift] : {std::pair{kKeyMenu, false}, std::pair{kKeyF10, true}}) {
    PanelDriver panel(plugin, PanelLayout::Normal);
    panel.layout().setKeyboardFocus(true);
    // On a fader, which has no menu: the main menu, which the logo (35) opens.
    while (panel.layout().focusedControl() !=
           panel.layout().getRoot()->hitTest(kFader1.x, kFader1.y)) {
      panel.layout().key(kKeyTab, false);
    }
    host.calls.clear();
    EXPECT_TRUE(panel.layout().key(key, shift));
    EXPECT_EQ(std::count(host.calls.begin(), host.calls.end(), 35), 1);
    // On the unit switch: its own menu (27).
    auto& layout = dynamic_cast<VelmoraGUI&>(panel.layout());
    layout.runShortcut(*ctrlShortcut('U'));
    host.calls.clear();
    EXPECT_TRUE(panel.layout().key(key, shift));
    EXPECT_EQ(std::count(host.calls.begin(), host.calls.end(), 27), 1);
    EXPECT_EQ(std::count(host.calls.begin(), host.calls.end(), 35), 0);
  }
  PanelDriver panel(plugin, PanelLayout::Normal);
  host.calls.clear();
  EXPECT_FALSE(panel.layout().key(kKeyF10, false)) << "F10 alone is the system's";
  EXPECT_TRUE(host.calls.empty());
}

TEST_F(PanelKeysTest, AKeyRepeatBurstIsOneUndoStep) {
  panel();
  MixJournal journal(plugin);
  ASSERT_TRUE(tabTo(kFader1));
  uint32_t now = 1000;
  for (int repeat = 0; repeat < 10; ++repeat, now += 33) {  // auto-repeat at 30 per second
    key(kKeyUp);
    journal.idle(now);
  }
  journal.idle(now + MixJournal::kBurstQuietMs);
  EXPECT_NEAR(value(62), 0.7f, 1e-5);
  EXPECT_EQ(journal.undoCount(), 1u);
  journal.undo();
  EXPECT_EQ(value(62), 0.5f);
}

}  // namespace
}  // namespace velmora::test
