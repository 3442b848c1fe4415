#include "control_panel/toolkit/text_box.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/toolkit/layout_fixtures.h"
#include "tests/toolkit/skin_fixtures.h"

namespace velmora {
namespace {

using test::row;

// A grid of 5-pixel cells whose glyphs are all 3 pixels wide (advance 4).
std::vector<uint8_t> narrowGlyphs() {
  Bitmap grid(100, 35);
  for (int cell = 0; cell < 100; ++cell) {
    for (int y = 0; y < 7; ++y) grid.setPixel(5 * (cell % 20) + 2, 7 * (cell / 20) + y, 0xFFFFFF);
  }
  return test::bmpOf(grid);
}

struct TextBoxTest : ::testing::Test, test::PluginFixture {
  void type(const std::string& keys) {
    for (char c : keys) layout->getRoot()->onKey(c, 0, &layout.gui);
  }
  void key(int code) { layout->getRoot()->onKey(code, 0, &layout.gui); }

  test::ScopedArchive archive{{{"font.bmp", narrowGlyphs()}}};
  test::TestLayout layout{plugin,
                             {test::rootRow(), row(1, {10, 110, 5, 12}, "TextBox", 0, "font.bmp",
                                                      {test::kDbParameter})}};
  TextBox* box = layout.view<TextBox>(1);
};

TEST_F(TextBoxTest, ShowsTheParameterTextUntilFocused) {
  ASSERT_NE(box, nullptr);
  EXPECT_STREQ(box->text(), "2.000 dB");
  layout->mouseButton(20, 8, 0, true);
  EXPECT_TRUE(box->hasFocus());
  plugin.setReal(test::kDbParameter, 5);
  EXPECT_STREQ(box->text(), "2.000 dB");  // not while editing
  layout->mouseButton(20, 8, 0, false);   // release: nothing
  layout->mouseButton(20, 8, 0, true);
  EXPECT_FALSE(box->hasFocus());
}

TEST_F(TextBoxTest, EditsWithCaretKeys) {
  box->setFocus(true);
  const struct {
    int key;
    bool control;
    const char* text;
    int caret;
  } steps[] = {
      {kKeyEnd, false, "2.000 dB", 8},   {kKeyBackspace, false, "2.000 d", 7},
      {kKeyHome, false, "2.000 d", 0},   {kKeyDelete, false, ".000 d", 0},
      {'7', false, "7.000 d", 1},        {kKeyRight, false, "7.000 d", 2},
      {kKeyLeft, false, "7.000 d", 1},   {kKeyLeft, false, "7.000 d", 0},
      {kKeyLeft, false, "7.000 d", 0},   {kKeyBackspace, false, "7.000 d", 0},
      {kKeyRight, true, "7.000 d", 7},   {kKeyRight, false, "7.000 d", 7},
      {kKeyDelete, false, "7.000 d", 7}, {kKeyLeft, true, "7.000 d", 0},
      {200, false, "7.000 d", 0},        {'\t', false, "7.000 d", 0},
  };
  for (const auto& s : steps) {
    layout.gui.control = s.control;
    key(s.key);
    EXPECT_STREQ(box->text(), s.text) << "key " << s.key;
    EXPECT_EQ(box->caret(), s.caret) << "key " << s.key;
  }
  key(kKeyReturn);
  EXPECT_FALSE(box->hasFocus());
  EXPECT_STREQ(box->text(), "7.000 d");  // Enter keeps the typed text
  EXPECT_FLOAT_EQ(plugin.getReal(test::kDbParameter), 2.0f);
}

TEST_F(TextBoxTest, HoldsAt255CharactersAndEscapeRestoresTheParameterText) {
  box->setFocus(true);
  type(std::string(300, 'x'));
  EXPECT_EQ(box->length(), 255);
  EXPECT_EQ(std::string(box->text()), std::string(247, 'x') + "2.000 dB");  // typed at the caret
  key(kKeyEscape);
  EXPECT_FALSE(box->hasFocus());
  EXPECT_STREQ(box->text(), "2.000 dB");
  EXPECT_EQ(box->caret(), 8);
}

TEST_F(TextBoxTest, DrawsInkOnPaperAndTheCaret) {
  box->setFocus(true);
  key(kKeyHome);
  key(kKeyRight);
  key(kKeyRight);
  layout.gui.bitmaps.clear();
  layout.gui.lines.clear();
  box->draw(&layout.gui);
  ASSERT_EQ(layout.gui.bitmaps.size(), 1u);
  Bitmap* composite = layout.gui.bitmaps[0].bitmap;
  EXPECT_EQ(composite->pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);  // white paper while focused
  EXPECT_EQ(composite->pixel(2, 0), 0x010101u);             // black ink, as the tint rounds it
  ASSERT_EQ(layout.gui.lines.size(), 1u);
  EXPECT_EQ(layout.gui.lines[0], (Rect{17, 17, 5, 12}));  // two advances of 4, minus 1
}

}  // namespace
}  // namespace velmora
