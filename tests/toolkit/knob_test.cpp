#include "control_panel/toolkit/knob.h"

#include <gtest/gtest.h>

#include "tests/toolkit/layout_fixtures.h"
#include "tests/toolkit/skin_fixtures.h"

namespace velmora {
namespace {

using test::row;

// A 19 × 19 knob at (100, 50) over a 579-pixel strip: 30 frames.
struct KnobTest : ::testing::Test, test::PluginFixture {
  test::ScopedArchive archive{{{"KnobRotation.bmp", test::solidBmp(579, 19, 0x808080)}}};
  test::TestLayout layout{
      plugin, {test::rootRow(), row(1, {100, 119, 50, 69}, "Knob", 0, "KnobRotation.bmp", {6})}};
  Knob* knob = layout.view<Knob>(1);
};

TEST_F(KnobTest, ShowsTheFrameOfItsValue) {
  ASSERT_NE(knob, nullptr);
  ASSERT_EQ(knob->frameCount(), 30);
  const struct {
    float value;
    int frame;
  } cases[] = {{1.0f, 29},  {0.999f, 29}, {0.5f, 15}, {0.0f, 0},
               {0.034f, 1}, {1.5f, 29},   {-0.2f, 0}};
  for (const auto& c : cases) {
    plugin.setNormalised(6, c.value);
    layout.gui.bitmaps.clear();
    knob->draw(&layout.gui);
    ASSERT_EQ(layout.gui.bitmaps.size(), 1u);
    EXPECT_EQ(knob->frameIndex(), c.frame) << c.value;
    EXPECT_EQ(layout.gui.bitmaps[0].src, (Point{19 * c.frame, 0})) << c.value;
    EXPECT_EQ(layout.gui.bitmaps[0].dst, (Rect{100, 119, 50, 69}));
  }
}

TEST_F(KnobTest, FollowsTheAngleOfThePointerAroundItsCentre) {
  const struct {
    int dx, dy;
    float value;
  } cases[] = {{0, 20, 0.0f}, {-20, 0, 0.25f}, {0, -20, 0.5f}, {20, 0, 0.75f}, {-20, 20, 0.125f}};
  layout.gui.leftButton = true;
  layout->mouseButton(109, 59, 0, true);
  ASSERT_TRUE(knob->isDragging());
  for (const auto& c : cases) {
    layout.gui.cursor = {109 + c.dx, 59 + c.dy};
    layout->idleTick();
    EXPECT_NEAR(plugin.getNormalised(6), c.value, 1e-6) << c.dx << "," << c.dy;
    EXPECT_FALSE(knob->isDirty());  // drawn at once
  }
  EXPECT_EQ(host.calls, std::vector<int>(5, 6));
  layout.gui.leftButton = false;
  layout->idleTick();
  EXPECT_FALSE(knob->isDragging());
}

TEST(KnobWithoutStrip, DrawsNothing) {
  test::PluginFixture fixture;
  test::TestLayout layout(
      fixture.plugin, {test::rootRow(), row(1, {0, 19, 0, 19}, "Knob", 0, "Missing.bmp")});
  layout->getView(1)->draw(&layout.gui);
  EXPECT_TRUE(layout.gui.bitmaps.empty());
}

}  // namespace
}  // namespace velmora
