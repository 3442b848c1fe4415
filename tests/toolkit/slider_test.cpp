#include "control_panel/toolkit/slider.h"

#include <gtest/gtest.h>

#include "tests/toolkit/layout_fixtures.h"

namespace velmora {
namespace {

using test::row;

TEST(Slider, FollowsThePointerClampedToItsHeight) {
  test::PluginFixture fixture;
  test::TestLayout layout(fixture.plugin, {test::rootRow(300, 300),
                                              row(1, {10, 20, 100, 200}, "Slider", 0, "", {4})});
  const struct {
    int y;
    float value;
  } cases[] = {{90, 0.0f}, {100, 0.0f}, {150, 0.5f}, {175, 0.75f}, {260, 1.0f}};
  layout.gui.leftButton = true;
  layout->mouseButton(15, 150, 0, true);
  for (const auto& c : cases) {
    layout.gui.cursor = {15, c.y};
    layout->idleTick();
    EXPECT_EQ(fixture.plugin.getNormalised(4), c.value) << c.y;
  }
  // Drawn with the last value: the track down the middle and the bar at the bottom edge.
  ASSERT_GE(layout.gui.lines.size(), 2u);
  const size_t n = layout.gui.lines.size();
  EXPECT_EQ(layout.gui.lines[n - 2], (Rect{15, 15, 100, 200}));
  EXPECT_EQ(layout.gui.lines[n - 1], (Rect{10, 20, 200, 200}));
}

}  // namespace
}  // namespace velmora
