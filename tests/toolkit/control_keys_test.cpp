// What each key does to a focused control by the axis it moves along, how far the steps go,
// and the wheel's notches.
#include "control_panel/toolkit/control_keys.h"

#include <gtest/gtest.h>

#include "control_panel/toolkit/i_gui.h"

namespace velmora {
namespace {

using A = ControlAction;

struct KeyCase {
  int key;
  bool shift;
  ControlAxis axis;
  ControlAction expected;
};

TEST(ControlKeys, ArrowsFollowTheAxisAndTheOtherKeysAreTheSameForEveryControl) {
  const ControlAxis v = ControlAxis::Vertical, h = ControlAxis::Horizontal,
                    none = ControlAxis::None;
  const KeyCase cases[] = {
      {kKeyUp, false, v, A::StepUp},
      {kKeyDown, false, v, A::StepDown},
      {kKeyUp, true, v, A::FineUp},
      {kKeyDown, true, v, A::FineDown},
      {kKeyLeft, false, v, A::None},
      {kKeyRight, false, v, A::None},
      {kKeyRight, false, h, A::StepUp},
      {kKeyLeft, false, h, A::StepDown},
      {kKeyRight, true, h, A::FineUp},
      {kKeyLeft, true, h, A::FineDown},
      {kKeyUp, false, h, A::None},
      {kKeyPageUp, false, v, A::CoarseUp},
      {kKeyPageDown, false, h, A::CoarseDown},
      {kKeyHome, false, v, A::ToMin},
      {kKeyEnd, false, h, A::ToMax},
      {kKeyDelete, false, v, A::Reset},
      {kKeyDelete, false, none, A::Reset},
      {' ', false, none, A::Activate},
      {kKeyReturn, false, none, A::Activate},
      {kKeyUp, false, none, A::None},
      {kKeyTab, false, v, A::None},
      {'x', false, v, A::None},
  };
  for (const KeyCase& c : cases) {
    EXPECT_EQ(actionForKey(c.key, c.shift, c.axis), c.expected)
        << "key " << c.key << " shift " << c.shift;
  }
}

TEST(ControlKeys, StepsAreAFiftiethAFiveHundredthAndATenthAndStayInsideTheRange) {
  const struct {
    float from;
    ControlAction action;
    float expected;
  } cases[] = {
      {0.5f, A::StepUp, 0.52f},     {0.5f, A::StepDown, 0.48f}, {0.5f, A::FineUp, 0.502f},
      {0.5f, A::FineDown, 0.498f},  {0.5f, A::CoarseUp, 0.6f},  {0.5f, A::CoarseDown, 0.4f},
      {0.5f, A::ToMin, 0.0f},       {0.5f, A::ToMax, 1.0f},     {0.99f, A::StepUp, 1.0f},
      {0.05f, A::CoarseDown, 0.0f}, {0.3f, A::Reset, 0.3f},     {0.3f, A::Activate, 0.3f},
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(steppedValue(c.from, c.action), c.expected, 1e-6) << c.from;
  }
}

TEST(ControlKeys, AWheelNotchUpIsAStepUpAndShiftMakesItFine) {
  EXPECT_EQ(actionForWheel(1, false), A::StepUp);
  EXPECT_EQ(actionForWheel(-2, false), A::StepDown);
  EXPECT_EQ(actionForWheel(3, true), A::FineUp);
  EXPECT_EQ(actionForWheel(-1, true), A::FineDown);
  EXPECT_EQ(actionForWheel(0, false), A::None);
}

}  // namespace
}  // namespace velmora
