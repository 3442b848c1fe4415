#include "control_panel/toolkit/static.h"

#include <gtest/gtest.h>

#include "tests/toolkit/layout_fixtures.h"
#include "tests/toolkit/skin_fixtures.h"

namespace velmora {
namespace {

using test::row;

// 7-pixel cells; every glyph of the mask is 7 wide (advance 8), the image is red.
std::vector<uint8_t> fullMask() {
  Bitmap grid(140, 35);
  for (int cell = 0; cell < 100; ++cell) {
    for (int y = 0; y < 7; ++y) grid.setPixel(7 * (cell % 20) + 6, 7 * (cell / 20) + y, 0xFFFFFF);
  }
  return test::bmpOf(grid);
}

struct StaticTest : ::testing::Test, test::PluginFixture {
  test::ScopedArchive archive{{{"font.bmp", test::solidBmp(140, 35, 0xFF0000)},
                                  {"FontMask.bmp", fullMask()},
                                  {"Back.bmp", test::solidBmp(300, 100, 0x00FF00)}}};
};

TEST_F(StaticTest, LineCountSelectsFontBackgroundAndJustification) {
  test::TestLayout layout(
      plugin, {test::rootRow(300, 100),
               row(1, {0, 100, 0, 7}, "Static", 0,
                   "font.bmp\nFontMask.bmp\nBack.bmp\nJUSTIFY_CENTRE\nABCDE"),
               row(2, {0, 100, 10, 17}, "Static", 0, "font.bmp\nFontMask.bmp\nBack.bmp\nABCDE"),
               row(3, {0, 100, 20, 27}, "Static", 0, "font.bmp\nJUSTIFY_RIGHT_ALIGNED\n100%% sure"),
               row(4, {0, 100, 30, 37}, "Static", 0, "font.bmp\n50%%%% %d"),
               row(5, {0, 100, 40, 47}, "Static", 0, "font.bmp"),
               row(6, {0, 100, 50, 57}, "Static", 0, "a\nb\nc\nd\ne\nf")});
  const struct {
    int row;
    const char* text;
    int justification;
    int offset;
  } cases[] = {
      {1, "ABCDE", Static::kCentre, 30},  // 5 × 8 = 40 pixels in 100
      {2, "ABCDE", Static::kLeft, 0},
      {3, "100% sure", Static::kRight, 30},  // every glyph of the red image is 7 wide
      {4, "50%% %d", Static::kLeft, 0},
      {5, "", Static::kLeft, 0},
      {6, "", Static::kLeft, 0},
  };
  for (const auto& c : cases) {
    Static* label = layout.view<Static>(c.row);
    ASSERT_NE(label, nullptr);
    EXPECT_STREQ(label->text(), c.text) << c.row;
    EXPECT_EQ(label->justification(), c.justification) << c.row;
    EXPECT_EQ(label->textOffset(), c.offset) << c.row;
  }
  EXPECT_STREQ(layout.view<Static>(4)->getSavedText(), "50% %d");
}

TEST_F(StaticTest, AlphaLabelsDrawOverTheirPieceOfTheBackground) {
  test::TestLayout layout(plugin,
                             {test::rootRow(300, 100),
                              row(1, {0, 100, 0, 7}, "Static", 0,
                                  "font.bmp\nFontMask.bmp\nBack.bmp\nJUSTIFY_CENTRE\nABCDE"),
                              row(2, {0, 50, 10, 17}, "Static", 0, "font.bmp\nhi", {4}),
                              row(3, {0, 50, 20, 27}, "Static", 0, "")});
  layout.gui.bitmaps.clear();
  layout->redraw();
  ASSERT_EQ(layout.gui.bitmaps.size(), 2u);  // the empty label draws nothing
  Bitmap* alpha = layout.gui.bitmaps[0].bitmap;
  EXPECT_EQ(alpha->pixel(29, 3), 0x00FF00u);  // background
  EXPECT_EQ(alpha->pixel(31, 3), 0x00FE00u);  // under the glyph, mask black
  EXPECT_EQ(alpha->pixel(36, 3), 0xFE0000u);  // the first glyph's lit column
  Bitmap* plain = layout.gui.bitmaps[1].bitmap;
  EXPECT_EQ(plain->pixel(49, 6), 0u);  // black background
}

TEST_F(StaticTest, ParameterAndSetTextReplaceTheText) {
  test::TestLayout layout(plugin, {test::rootRow(300, 100),
                                      row(1, {0, 100, 0, 7}, "Static", 0,
                                          "font.bmp\nFontMask.bmp\nBack.bmp\nJUSTIFY_RIGHT\nAB",
                                          {test::kDbParameter})});
  Static* label = layout.view<Static>(1);
  EXPECT_STREQ(label->text(), "2.000 dB");  // refreshAll at attach
  EXPECT_EQ(label->textOffset(), 84);       // not recomputed for the parameter's text
  label->setText("ABC");
  EXPECT_EQ(label->textOffset(), 76);
  label->setSavedText("Velmora");
  EXPECT_STREQ(label->getSavedText(), "Velmora");
  EXPECT_STREQ(label->text(), "ABC");
}

}  // namespace
}  // namespace velmora
