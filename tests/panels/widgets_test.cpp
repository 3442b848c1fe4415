// Single panel widgets on small tables over the real skin: the balance step, and the rule
// that argument lists of any length (short, empty, too long) never crash a widget.
#include <gtest/gtest.h>

#include "control_panel/panels/fl_faders.h"
#include "control_panel/panels/layout_builder.h"
#include "control_panel/panels/panel_views.h"
#include "tests/panels/panel_fixture.h"

namespace velmora::test {
namespace {

const char* const kPanelClasses[] = {
    "flCanvas",
    "flAlphaCanvas",
    "flTray5",
    "flTray6",
    "flADATTray",
    "flLockDisplay",
    "flButton",
    "flButton3",
    "flAlphaButton",
    "flAlphaButton3",
    "flIsStudioButton",
    "flInputButton",
    "flInputMixTabButton",
    "flSyncButton",
    "flADATButton",
    "flPushButton",
    "flLinkButton",
    "flLogoButton",
    "flTextButton",
    "flFXLed",
    "flRateLed",
    "flExtLed",
    "flExtLed2",
    "flHSlider",
    "flVSlider",
    "flVSlider2",
    "flKnob",
    "flKnob4",
    "flKnob5",
};

// A layout of one widget under the background canvas.
struct OneWidget {
  OneWidget(Plugin& plugin, Rect rect, const char* className, const Lines& arguments,
            const std::vector<int>& parameters) {
    LayoutBuilder builder(704, 394, "Background.bmp");
    builder.add(rect, className, LayoutBuilder::kCanvas, arguments, parameters);
    table = builder.finish();
    layout = std::make_unique<PluginGUI>(table.rowCount(), table.data(), &plugin);
    window = std::make_unique<HeadlessWindow>(704, 394);
    gui = std::make_unique<GUI>(window.get());
    layout->setGUI(gui.get());
    layout->refreshAll();
  }
  ~OneWidget() { layout->setGUI(nullptr); }

  LayoutTable table;
  std::unique_ptr<PluginGUI> layout;
  std::unique_ptr<HeadlessWindow> window;
  std::unique_ptr<GUI> gui;
};

TEST_F(PanelTest, EveryPanelClassSurvivesShortEmptyAndLongArgumentLists) {
  const Lines argumentLists[] = {
      {},
      {""},
      {"Enable.bmp"},
      {"NoSuchImage.bmp", "Background.bmp"},
      {"Enable.bmp", "ButtonLitMask.bmp", "Background.bmp", "x", "", "9", "too", "many", "lines"},
  };
  const std::vector<int> parameterLists[] = {{}, {179}, {179, 62, 63, 130, 134, 135, 138}};
  for (const char* className : kPanelClasses) {
    for (const Lines& arguments : argumentLists) {
      for (const std::vector<int>& parameters : parameterLists) {
        OneWidget widget(plugin, {100, 140, 100, 130}, className, arguments, parameters);
        ASSERT_NE(widget.layout->getView(2), nullptr) << className;
        widget.layout->redraw();
        widget.window->cursor = {110, 110};
        widget.window->leftButton = true;
        widget.layout->mouseButton(110, 110, 0, true);
        widget.window->cursor = {300, 10};
        widget.layout->idleTick();
        widget.window->leftButton = false;
        widget.layout->mouseButton(300, 10, 0, false);
        widget.layout->idleTick();
        widget.layout->redraw();
      }
    }
  }
}

struct BalanceCase {
  int step;
  int pointer;  // pixels into the travel, from the handle's centre at value 0
  float expected;
};

TEST_F(PanelTest, ABalanceSnapsToItsStepOverItsTravel) {
  // 114 pixels wide with an 11-pixel handle: travel 100.
  const BalanceCase cases[] = {
      {1, 50, 0.5f},  {1, 0, 0.0f},   {1, 100, 1.0f}, {1, 130, 1.0f},
      {1, -20, 0.0f}, {10, 46, 0.5f}, {10, 44, 0.4f}, {4, 50, 0.52f},
  };
  for (const BalanceCase& c : cases) {
    const std::string step = std::to_string(c.step);
    OneWidget widget(
        plugin, {10, 124, 5, 20}, "flHSlider",
        {"XFaderHandle.bmp", "XFaderHandleMask.bmp", "XFaderTrayMask.bmp", "Background.bmp", step},
        {53});
    auto* balance = dynamic_cast<flHSlider*>(widget.layout->getView(2));
    ASSERT_NE(balance, nullptr);
    ASSERT_EQ(balance->travel(), 100);
    widget.window->leftButton = true;
    widget.window->cursor = {15, 10};
    widget.layout->mouseButton(15, 10, 0, true);
    widget.window->cursor = {15 + c.pointer, 10};
    widget.window->leftButton = false;
    widget.layout->idleTick();
    EXPECT_FLOAT_EQ(value(53), c.expected) << "step " << c.step << ", " << c.pointer;
  }
}

TEST(KnobFrames, FollowTheFrameIndexLaw) {
  const std::pair<float, int> cases[] = {
      {0.0f, 0},   {1.0f, 28},  {0.5f, 14},  {0.505f, 14}, {0.51f, 15},
      {0.49f, 13}, {0.55f, 16}, {0.45f, 12}, {0.6f, 17},   {0.25f, 7},
  };
  for (const auto& [value, frame] : cases) EXPECT_EQ(flKnob::frameIndex(value), frame) << value;
}

}  // namespace
}  // namespace velmora::test
