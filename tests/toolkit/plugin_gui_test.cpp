#include "control_panel/toolkit/plugin_gui.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "control_panel/toolkit/view.h"
#include "control_panel/toolkit/view_registry.h"
#include "tests/toolkit/layout_fixtures.h"
#include "tests/toolkit/skin_fixtures.h"

namespace velmora {
namespace {

using test::PluginFixture;
using test::rootRow;
using test::row;
using test::TestLayout;

// Records what reaches it: arguments, parameter slots, mouse-over changes.
class ProbeView : public View {
 public:
  using View::View;
  void init(const char* const* lines, int count) override {
    for (int i = 0; i < count; ++i) this->lines.emplace_back(lines[i]);
  }
  void parameterChanged(int slot) override { slots.push_back(slot); }
  void setMouseOver(bool over, iGUI* gui) override {
    overs.push_back(over);
    View::setMouseOver(over, gui);
  }
  bool isResettable(int slot) override { return slot != resettableExcept; }

  std::vector<std::string> lines;
  std::vector<int> slots;
  std::vector<bool> overs;
  int resettableExcept = -1;
};
const ViewClassRegistration kProbe("Probe", &makeView<ProbeView>);

struct PluginGUITest : ::testing::Test, PluginFixture {};

TEST_F(PluginGUITest, RoutesEachParameterToItsSlotsAndCountsInvalidEntries) {
  TestLayout layout(plugin, {rootRow(), row(1, {0, 10, 0, 10}, "Probe", 0, "", {5, 900, 7})});
  ProbeView* probe = layout.view<ProbeView>(1);
  ASSERT_NE(probe, nullptr);
  EXPECT_EQ(probe->getParameterCount(), 3);
  EXPECT_EQ(layout->routing(5), (std::vector<std::pair<int, int>>{{1, 0}}));
  EXPECT_EQ(layout->routing(7), (std::vector<std::pair<int, int>>{{1, 2}}));
  probe->slots.clear();
  plugin.setNormalised(7, 0.5f);
  plugin.setNormalised(5, 0.5f);
  plugin.setNormalised(6, 0.5f);
  EXPECT_EQ(probe->slots, (std::vector<int>{2, 0}));
  layout->setViewNormalised(1, 1, 0.9f);  // slot 1 is parameter 900: ignored
  EXPECT_TRUE(host.calls.empty());
}

TEST_F(PluginGUITest, AChangeThroughOneViewReachesEveryViewOfThatParameter) {
  TestLayout layout(plugin, {rootRow(), row(1, {0, 10, 0, 10}, "Probe", 0, "", {4}),
                             row(2, {10, 20, 0, 10}, "Probe", 0, "", {9, 4})});
  ProbeView* first = layout.view<ProbeView>(1);
  ProbeView* second = layout.view<ProbeView>(2);
  first->slots.clear();
  second->slots.clear();
  layout->setViewNormalised(1, 0, 0.75f);
  EXPECT_EQ(plugin.getNormalised(4), 0.75f);
  EXPECT_EQ(host.calls, (std::vector<int>{4}));
  EXPECT_EQ(first->slots, (std::vector<int>{0}));
  EXPECT_EQ(second->slots, (std::vector<int>{1}));
}

TEST_F(PluginGUITest, ArgumentLinesRunToTheEndOfTheText) {
  const struct {
    const char* text;
    std::vector<std::string> lines;
  } cases[] = {
      {"", {}},
      {"one", {"one"}},
      {"a.bmp\nb.bmp\n1", {"a.bmp\nb.bmp\n1", "b.bmp\n1", "1"}},
      {"a.bmp\n", {"a.bmp\n", ""}},
      {"\n", {"\n", ""}},
  };
  for (const auto& c : cases) {
    TestLayout layout(plugin, {rootRow(), row(1, {0, 10, 0, 10}, "Probe", 0, c.text)});
    EXPECT_EQ(layout.view<ProbeView>(1)->lines, c.lines) << '"' << c.text << '"';
  }
}

TEST_F(PluginGUITest, AltClickResetsEveryResettableSlotEachWithAHostCall) {
  TestLayout layout(plugin, {rootRow(), row(1, {10, 20, 10, 20}, "Probe", 0, "", {2, 10, 3})});
  layout.view<ProbeView>(1)->resettableExcept = 2;
  plugin.setNormalised(2, 1);
  plugin.setReal(test::kDbParameter, -5);
  plugin.setNormalised(3, 1);
  layout.gui.alt = true;
  layout->mouseButton(15, 15, 0, true);
  EXPECT_EQ(plugin.getNormalised(2), 0.25f);
  EXPECT_FLOAT_EQ(plugin.getReal(test::kDbParameter), 2.0f);
  EXPECT_EQ(plugin.getNormalised(3), 1.0f);  // not resettable
  EXPECT_EQ(host.calls, (std::vector<int>{2, test::kDbParameter}));
  EXPECT_EQ(layout.gui.begins, 1);
  EXPECT_EQ(layout.gui.ends, 1);
}

TEST_F(PluginGUITest, HiddenContainersAreSkippedWithTheirChildren) {
  TestLayout layout(
      plugin, {rootRow(), row(1, {0, 50, 0, 50}, "View", 0, "", {}, true),
               row(2, {10, 20, 10, 20}, "Probe", 1, ""), row(3, {0, 50, 0, 50}, "Probe", 0, "")});
  View* root = layout->getRoot();
  EXPECT_EQ(root->hitTest(15, 15), layout->getView(3));
  layout->getView(1)->setHidden(false, &layout.gui);
  EXPECT_EQ(root->hitTest(15, 15), layout->getView(2));
  EXPECT_EQ(root->hitTest(30, 30), layout->getView(1));  // the container itself
  EXPECT_EQ(root->hitTest(150, 90), root);
  EXPECT_EQ(root->hitTest(201, 5), nullptr);
}

TEST_F(PluginGUITest, MouseOverIsGivenAgainAfterThePointerLeftTheRoot) {
  TestLayout layout(plugin, {rootRow(), row(1, {10, 20, 10, 20}, "Probe", 0, "")});
  ProbeView* probe = layout.view<ProbeView>(1);
  layout->mouseMove(15, 15);
  layout->mouseMove(16, 16);  // same view: nothing
  layout->mouseMove(500, 500);
  layout->mouseMove(15, 15);
  layout->mouseMove(50, 50);  // over the root itself
  EXPECT_EQ(probe->overs, (std::vector<bool>{true, false, true, false}));
  EXPECT_EQ(layout->getRoot()->getMouseOverView(), layout->getRoot());
}

TEST_F(PluginGUITest, FindByIdSearchesTheWholeTree) {
  TestLayout layout(
      plugin, {rootRow(), row(1, {0, 50, 0, 50}, "View", 0, ""),
               row(2, {10, 20, 10, 20}, "Probe", 1, ""), row(3, {0, 50, 0, 50}, "Probe", 0, "")});
  View* root = layout->getRoot();
  for (int id : {0, 1, 2, 3}) EXPECT_EQ(root->findById(id), layout->getView(id)) << id;
  EXPECT_EQ(root->findById(4), nullptr);
  EXPECT_EQ(layout->getView(1)->findById(3), nullptr);
}

TEST_F(PluginGUITest, RowsOfUnknownClassesOrLaterParentsAreLeftOut) {
  TestLayout layout(plugin,
                    {rootRow(), row(1, {0, 5, 0, 5}, "NoSuchView", 0, "", {8}),
                     row(2, {0, 5, 0, 5}, "Probe", 1, ""), row(3, {0, 5, 0, 5}, "Probe", 4, ""),
                     row(4, {0, 5, 0, 5}, "Probe", 0, "")});
  EXPECT_EQ(layout->getView(1), nullptr);
  EXPECT_EQ(layout->getView(2), nullptr);
  EXPECT_EQ(layout->getView(3), nullptr);
  EXPECT_NE(layout->getView(4), nullptr);
  EXPECT_TRUE(layout->routing(8).empty());
  layout->setViewNormalised(1, 0, 1);  // no view: ignored
  EXPECT_EQ(plugin.getNormalised(8), 0.25f);
}

TEST_F(PluginGUITest, ViewTextGoesThroughTheParameterFormat) {
  TestLayout layout(plugin,
                    {rootRow(), row(1, {0, 5, 0, 5}, "Probe", 0, "", {test::kDbParameter})});
  layout->setViewText(1, 0, "5");
  char text[32] = "";
  layout->getViewText(1, 0, text, 31);
  EXPECT_STREQ(text, "5.000 dB");
  layout->setViewReal(1, 0, -10);
  EXPECT_EQ(layout->getViewNormalised(1, 0), 0.0f);
  EXPECT_EQ(layout->getViewReal(1, 0), -10.0f);
  EXPECT_EQ(layout->getViewReal(1, 1), 0.0f);  // no such slot
  EXPECT_EQ(host.calls, (std::vector<int>{test::kDbParameter, test::kDbParameter}));
}

TEST_F(PluginGUITest, EntryPointsNeedARootAndAContext) {
  std::vector<LayoutEntry> rows = {rootRow()};
  PluginGUI layout(1, rows.data(), &plugin);
  layout.redraw();
  layout.mouseButton(1, 1, 0, true);
  layout.idleTick();
  EXPECT_TRUE(layout.needsRedraw());
  PluginGUI empty(0, rows.data(), &plugin);
  EXPECT_FALSE(empty.needsRedraw());
  empty.redraw();
}

TEST_F(PluginGUITest, PositionRootMovesTheTreeRelativeToRowZero) {
  TestLayout layout(plugin, {rootRow(), row(1, {10, 20, 10, 20}, "Probe", 0, "")});
  layout->positionRoot(5, 7);
  layout->positionRoot(5, 7);
  Rect rect;
  layout->getView(1)->getRect(&rect);
  EXPECT_EQ(rect, (Rect{15, 25, 17, 27}));
}

TEST_F(PluginGUITest, TheLastLayoutTakesTheNamedImagesWithIt) {
  test::ScopedArchive archive({{"a.bmp", test::solidBmp(2, 2, 0xFF)}});
  const int before = PluginGUI::liveCount();
  std::vector<LayoutEntry> rows = {row(0, {0, 10, 0, 10}, "Canvas", -1, "a.bmp")};
  auto first = std::make_unique<PluginGUI>(1, rows.data(), &plugin);
  auto second = std::make_unique<PluginGUI>(1, rows.data(), &plugin);
  EXPECT_EQ(PluginGUI::liveCount(), before + 2);
  EXPECT_EQ(namedBitmapCount(), 1);
  first.reset();
  EXPECT_EQ(namedBitmapCount(), 1);
  second.reset();
  EXPECT_EQ(PluginGUI::liveCount(), before);
  if (before == 0) {
    EXPECT_EQ(namedBitmapCount(), 0);
  }
  EXPECT_EQ(std::count(plugin.observers().begin(), plugin.observers().end(), nullptr),
            2);  // compacted at the next notification
}

TEST_F(PluginGUITest, MouseOverCallbacksAndNames) {
  struct Frame {
    void onViewMouseOver(View* view) {
      char name[256] = "";
      view->getName(name, 256);
      seen.push_back(view->isMouseOver() ? name : "-");
    }
    std::vector<std::string> seen;
  } frame;
  TestLayout layout(plugin, {rootRow(), row(1, {10, 20, 10, 20}, "Probe", 0, "", {4, 5}),
                             row(2, {30, 40, 10, 20}, "Probe", 0, "", {3})});
  for (int i = 0; i < 3; ++i) {
    layout->getView(i)->setMouseoverFunctor(
        new View::MouseoverFunctor<Frame>(&frame, &Frame::onViewMouseOver));
  }
  layout->mouseMove(15, 15);
  layout->mouseMove(35, 15);
  layout->mouseMove(999, 15);
  EXPECT_EQ(frame.seen, (std::vector<std::string>{"Parameter 4", "-", "", "-"}));
}

}  // namespace
}  // namespace velmora
