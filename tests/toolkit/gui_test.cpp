#include "control_panel/toolkit/gui.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "control_panel/toolkit/headless_window.h"
#include "tests/support/scratch.h"
#include "tests/toolkit/skin_fixtures.h"

namespace velmora {
namespace {

using test::paint;

constexpr uint32_t kGrey = 0x777777;

struct GUITest : ::testing::Test {
  GUITest() { paint(*window.backBuffer(), kGrey); }
  uint32_t at(int x, int y) { return window.backBuffer()->pixel(x, y) & 0xFFFFFF; }
  int count(uint32_t colour) {
    int n = 0;
    for (int y = 0; y < 40; ++y) {
      for (int x = 0; x < 60; ++x) n += at(x, y) == colour;
    }
    return n;
  }
  HeadlessWindow window{60, 40};
  GUI gui{&window};
};

TEST_F(GUITest, DrawsOnlyInsideADrawPassAndPresentsAtItsEnd) {
  gui.drawLine(0, 0, 10, 0);
  gui.beginOffscreen(window.backBuffer(), 0, 0);  // outside a pass: nothing
  gui.drawLine(0, 1, 10, 1);
  gui.endDraw();
  EXPECT_EQ(count(0), 0);
  EXPECT_EQ(window.presentCount, 0);

  gui.beginDraw();
  gui.drawLine(0, 2, 10, 2);
  EXPECT_EQ(window.presentCount, 0);
  gui.endDraw();
  EXPECT_EQ(window.presentCount, 1);
  EXPECT_EQ(count(0), 10);  // the end point is left out
  EXPECT_EQ(at(9, 2), 0u);
  EXPECT_EQ(at(10, 2), kGrey);
}

TEST_F(GUITest, TheStackIsNotReentrant) {
  gui.beginDraw();
  gui.beginDraw();  // ignored
  gui.endDraw();    // ends the outer pass
  EXPECT_EQ(gui.currentTarget(), nullptr);
  EXPECT_EQ(window.presentCount, 1);
  gui.fillRect(0, 0, 5, 5);
  EXPECT_EQ(count(0xFFFFFF), 0);
}

TEST_F(GUITest, OffscreenDrawingLandsInTheBitmap) {
  Bitmap buffer(10, 10);
  paint(buffer, kGrey);
  gui.beginDraw();
  gui.beginOffscreen(&buffer, 0, 0);
  gui.drawLine(0, 5, 10, 5);
  gui.endOffscreen(&buffer, 0, 0);
  EXPECT_EQ(gui.currentTarget(), window.backBuffer());
  gui.endDraw();
  EXPECT_EQ(buffer.pixel(9, 5), 0u);
  EXPECT_EQ(count(0), 0);
}

TEST_F(GUITest, DrawBitmapCopiesFromTheSourcePointAndAppliesTheOrigin) {
  Bitmap strip(60, 19);
  for (int x = 0; x < 60; ++x) {
    for (int y = 0; y < 19; ++y) strip.setPixel(x, y, static_cast<uint32_t>(x));
  }
  const Rect dst{5, 24, 2, 21};
  const Point src{30, 0};
  gui.beginDraw();
  gui.drawBitmap(&strip, &dst, &src);
  gui.endDraw();
  EXPECT_EQ(at(5, 2), 30u);
  EXPECT_EQ(at(23, 20), 48u);
  EXPECT_EQ(at(24, 2), kGrey);
  EXPECT_EQ(at(5, 21), kGrey);

  Bitmap offscreen(20, 20), dot(1, 1);
  dot.setPixel(0, 0, 0x123456);
  const Rect one{1, 2, 1, 2};
  gui.beginDraw();
  gui.beginOffscreen(&offscreen, 3, 4);
  gui.drawBitmap(&dot, &one, nullptr);  // lands at (1 + 3, 1 + 4)
  gui.frameRect(0, 0, 2, 2);            // primitives ignore the origin
  gui.endOffscreen(&offscreen, 3, 4);
  gui.endDraw();
  EXPECT_EQ(offscreen.pixel(4, 5), 0x123456u);
  EXPECT_EQ(offscreen.pixel(1, 1), 0u);
  EXPECT_EQ(gui.origin(), (Point{0, 0}));
}

TEST_F(GUITest, BoxesAreMadeOfPrimitives) {
  const Rect box{10, 20, 10, 20};
  gui.beginDraw();
  gui.drawCrossedBox(&box);
  gui.endDraw();
  EXPECT_EQ(at(10, 10), 0u);  // outline
  EXPECT_EQ(at(19, 15), 0u);
  EXPECT_EQ(at(12, 12), 0u);         // diagonal
  EXPECT_EQ(at(12, 17), 0u);         // other diagonal
  EXPECT_EQ(at(13, 12), 0xFFFFFFu);  // white fill
  EXPECT_EQ(at(20, 20), kGrey);      // right and bottom edges excluded

  paint(*window.backBuffer(), kGrey);
  const Rect big{10, 50, 5, 35};
  gui.beginDraw();
  gui.drawHandleBox(&big);
  gui.endDraw();
  EXPECT_EQ(at(19, 14), 0u);  // corner handle's far corner
  EXPECT_EQ(at(25, 5), 0u);   // top middle handle (mx = 25)
  EXPECT_EQ(at(10, 15), 0u);  // left middle handle (my = 15)
  EXPECT_EQ(at(30, 20), 0xFFFFFFu);
}

TEST_F(GUITest, ModifiersAndCursorComeFromTheWindow) {
  window.alt = true;
  window.leftButton = true;
  window.cursor = {12, 34};
  int x = 0, y = 0;
  gui.getCursorPos(&x, &y);
  EXPECT_TRUE(gui.isAltDown());
  EXPECT_FALSE(gui.isShiftDown());
  EXPECT_FALSE(gui.isControlDown());
  EXPECT_TRUE(gui.isLeftButtonDown());
  EXPECT_EQ(x, 12);
  EXPECT_EQ(y, 34);
}

TEST_F(GUITest, ClipboardBlocksByFormatName) {
  const int format = 'V' | 'L' << 8 | 'M' << 16 | 'R' << 24;
  const char data[] = "mix";
  EXPECT_EQ(gui.clipboardPut(data, 4, format), 1);
  auto* clipboard = static_cast<MemoryClipboard*>(window.clipboard());
  EXPECT_TRUE(clipboard->isFormatAvailable("VLMR"));
  EXPECT_FALSE(clipboard->isOpen);
  EXPECT_EQ(gui.clipboardSize(format), 4);
  EXPECT_EQ(gui.clipboardSize(format + 1), 0);
  char out[4] = {};
  EXPECT_EQ(gui.clipboardGet(out, format), 1);
  EXPECT_STREQ(out, "mix");
  clipboard->refuseOpen = true;
  EXPECT_EQ(gui.clipboardPut(data, 4, format), 0);
  EXPECT_EQ(gui.clipboardSize(format), 0);
  EXPECT_EQ(gui.clipboardGet(out, format), 0);
}

TEST(HeadlessWindow, WritesTheBackBufferAsPng) {
  platform::test::ScratchFolder folder;
  HeadlessWindow window(7, 3);
  window.presentPath = folder / "panel.png";
  GUI gui(&window);
  gui.beginDraw();
  gui.fillRect(0, 0, 7, 3);
  gui.endDraw();
  std::ifstream in(window.presentPath, std::ios::binary);
  const std::vector<uint8_t> png{std::istreambuf_iterator<char>(in), {}};
  ASSERT_GT(png.size(), 33u);
  EXPECT_EQ(std::memcmp(png.data(), "\x89PNG\r\n\x1a\n", 8), 0);
  EXPECT_EQ(std::memcmp(png.data() + 12, "IHDR", 4), 0);
  EXPECT_EQ(png[19], 7);  // width, big-endian
  EXPECT_EQ(png[23], 3);  // height
  EXPECT_FALSE(window.writePng(folder / "missing-folder/panel.png"));
}

}  // namespace
}  // namespace velmora
