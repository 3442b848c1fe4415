#include "control_panel/toolkit/h_slider.h"

#include <gtest/gtest.h>

#include "tests/toolkit/layout_fixtures.h"
#include "tests/toolkit/skin_fixtures.h"

namespace velmora {
namespace {

using test::row;

struct HSliderTest : ::testing::Test, test::PluginFixture {
  test::ScopedArchive archive{{{"Thumb.bmp", test::solidBmp(20, 10, 0x3366CC)},
                                  {"Wide.bmp", test::solidBmp(130, 10, 0x3366CC)}}};
};

TEST_F(HSliderTest, ThumbCentreFollowsThePointer) {
  test::TestLayout layout(
      plugin, {test::rootRow(), row(1, {40, 160, 5, 15}, "HSlider", 0, "Thumb.bmp", {7})});
  HSlider* slider = layout.view<HSlider>(1);
  ASSERT_NE(slider, nullptr);
  EXPECT_EQ(slider->travel(), 100);
  layout.gui.leftButton = true;
  layout->mouseButton(50, 10, 0, true);
  const struct {
    int x;
    float value;
    int thumbX;
  } cases[] = {{40 + 60, 0.5f, 50}, {40, 0.0f, 0}, {40 + 200, 1.0f, 100}, {40 + 35, 0.25f, 25}};
  for (const auto& c : cases) {
    layout.gui.cursor = {c.x, 10};
    layout->idleTick();
    EXPECT_EQ(plugin.getNormalised(7), c.value) << c.x;
    EXPECT_EQ(slider->thumbX(), c.thumbX) << c.x;
  }
  // The composite shows the white background with its track and the thumb at x = 25.
  Bitmap* composite = layout.gui.bitmaps.back().bitmap;
  EXPECT_EQ(composite->pixel(25, 0), 0x3366CCu);
  EXPECT_EQ(composite->pixel(24, 0) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(layout.gui.offscreens.size(), 1u);  // the track is painted once
}

TEST_F(HSliderTest, ThumbAsWideAsTheViewLeavesATravelOfOne) {
  test::TestLayout layout(
      plugin, {test::rootRow(), row(1, {0, 120, 0, 10}, "HSlider", 0, "Wide.bmp", {7}),
               row(2, {0, 120, 20, 30}, "HSlider", 0, "Missing.bmp", {7}),
               row(3, {0, 120, 40, 50}, "HSlider", 0, "Thumb.bmp\nextra", {7})});
  EXPECT_EQ(layout.view<HSlider>(1)->travel(), 1);
  EXPECT_EQ(layout.view<HSlider>(2)->travel(), 1);
  layout.gui.bitmaps.clear();
  layout->getView(3)->draw(&layout.gui);  // two lines: no buffers, nothing drawn
  EXPECT_TRUE(layout.gui.bitmaps.empty());
}

}  // namespace
}  // namespace velmora
