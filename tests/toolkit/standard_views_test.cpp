// The standard classes by name, and the three simplest: Canvas, BitmapControl, PButton.
#include <gtest/gtest.h>

#include <typeinfo>

#include "control_panel/toolkit/bitmap_control.h"
#include "control_panel/toolkit/canvas.h"
#include "control_panel/toolkit/h_slider.h"
#include "control_panel/toolkit/knob.h"
#include "control_panel/toolkit/p_button.h"
#include "control_panel/toolkit/slider.h"
#include "control_panel/toolkit/static.h"
#include "control_panel/toolkit/text_box.h"
#include "control_panel/toolkit/view_registry.h"
#include "tests/toolkit/layout_fixtures.h"
#include "tests/toolkit/skin_fixtures.h"

namespace velmora {
namespace {

using test::row;

TEST(StandardViews, AreRegisteredUnderTheirNames) {
  test::PluginFixture fixture;
  const struct {
    const char* name;
    const std::type_info& type;
  } cases[] = {{"View", typeid(View)},
               {"Canvas", typeid(Canvas)},
               {"BitmapControl", typeid(BitmapControl)},
               {"PButton", typeid(PButton)},
               {"Knob", typeid(Knob)},
               {"Slider", typeid(Slider)},
               {"HSlider", typeid(HSlider)},
               {"TextBox", typeid(TextBox)},
               {"Static", typeid(Static)}};
  for (const auto& c : cases) {
    const LayoutEntry entry = row(0, {0, 10, 0, 10}, c.name, -1, "");
    std::unique_ptr<View> view(createView(&entry, nullptr));
    ASSERT_NE(view, nullptr) << c.name;
    EXPECT_EQ(typeid(*view), c.type) << c.name;
  }
  const LayoutEntry lower = row(0, {0, 10, 0, 10}, "canvas", -1, "");
  EXPECT_EQ(createView(&lower, nullptr), nullptr);
}

struct SimpleViewsTest : ::testing::Test, test::PluginFixture {
  test::ScopedArchive archive{{{"Background.bmp", test::solidBmp(40, 30, 0x102030)},
                                  {"Logo.bmp", test::solidBmp(8, 4, 0xABCDEF)}}};
};

TEST_F(SimpleViewsTest, CanvasAndBitmapControlPaintTheirImagesThenTheirChildren) {
  test::TestLayout layout(plugin, {row(0, {0, 40, 0, 30}, "Canvas", -1, "Background.bmp"),
                                      row(1, {2, 10, 3, 7}, "BitmapControl", 0, "Logo.bmp"),
                                      row(2, {20, 28, 3, 7}, "BitmapControl", 0, "Missing.bmp")});
  layout->redraw();
  ASSERT_EQ(layout.gui.bitmaps.size(), 2u);
  EXPECT_EQ(layout.gui.bitmaps[0].bitmap, getNamedBitmap("Background.bmp"));
  EXPECT_EQ(layout.gui.bitmaps[0].dst, (Rect{0, 40, 0, 30}));
  Bitmap* buffer = layout.gui.bitmaps[1].bitmap;
  EXPECT_NE(buffer, getNamedBitmap("Logo.bmp"));  // a private copy
  EXPECT_EQ(buffer->pixel(7, 3), 0xABCDEFu);
  EXPECT_EQ(layout.gui.bitmaps[1].dst, (Rect{2, 10, 3, 7}));
  EXPECT_FALSE(layout->needsRedraw());
}

TEST_F(SimpleViewsTest, PButtonTogglesWhatItShowsOnPress) {
  test::TestLayout layout(plugin,
                             {test::rootRow(), row(1, {10, 25, 10, 25}, "PButton", 0, "", {4})});
  PButton* button = layout.view<PButton>(1);
  const Rect rect{10, 25, 10, 25};
  plugin.setNormalised(4, 0);
  button->draw(&layout.gui);
  EXPECT_EQ(layout.gui.frames, std::vector<Rect>{rect});  // off: an outline
  layout->mouseButton(12, 12, 0, true);
  layout->mouseButton(12, 12, 0, false);
  EXPECT_EQ(button->value(), 1.0f);
  EXPECT_EQ(plugin.getNormalised(4), 0.0f);  // the parameter is not written
  EXPECT_TRUE(host.calls.empty());
  layout.gui.frames.clear();
  button->draw(&layout.gui);
  EXPECT_EQ(layout.gui.fills, std::vector<Rect>{rect});  // on: the crossed box
  EXPECT_EQ(layout.gui.frames, std::vector<Rect>{rect});
  EXPECT_EQ(layout.gui.lines, (std::vector<Rect>{{10, 24, 10, 24}, {10, 24, 24, 10}}));
  plugin.setNormalised(4, 0.5f);
  EXPECT_EQ(button->value(), 0.5f);
}

}  // namespace
}  // namespace velmora
