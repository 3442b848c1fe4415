#include "control_panel/toolkit/view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/toolkit/layout_fixtures.h"

namespace velmora {
namespace {

using test::RecordingGUI;

// Logs its drag and key calls into a shared list.
class DragView : public View {
 public:
  DragView(std::vector<std::string>& log, std::string name) : log_(log), name_(std::move(name)) {}
  void onDrag(iGUI*) override { log_.push_back(name_ + " drag"); }
  void onDragEnd(iGUI*) override { log_.push_back(name_ + " end"); }
  void onKey(int key, int, iGUI*) override {
    log_.push_back(name_ + " key " + std::to_string(key));
  }

 private:
  std::vector<std::string>& log_;
  std::string name_;
};

struct ViewTest : ::testing::Test {
  ViewTest() {
    root.setRect({0, 100, 0, 100});
    root.addChild(a);
    root.addChild(b);
    a->setRect({0, 10, 0, 10});
    b->setRect({20, 30, 0, 10});
  }
  std::vector<std::string> log;
  View root;
  DragView* a = new DragView(log, "a");
  DragView* b = new DragView(log, "b");
  RecordingGUI gui;
};

TEST_F(ViewTest, DraggingIsPolledUntilTheButtonIsReleased) {
  a->setDragging(true);
  gui.leftButton = true;
  root.onTick(&gui);
  root.onTick(&gui);
  gui.leftButton = false;
  root.onTick(&gui);
  root.onTick(&gui);
  EXPECT_EQ(log, (std::vector<std::string>{"a drag", "a drag", "a drag", "a end"}));
  EXPECT_FALSE(a->isDragging());
}

TEST_F(ViewTest, HidingADraggedViewEndsTheDrag) {
  b->setDragging(true);
  b->draw(&gui);
  b->setHidden(true, &gui);
  b->setHidden(true, &gui);  // already hidden
  EXPECT_EQ(log, (std::vector<std::string>{"b end"}));
  EXPECT_TRUE(b->isDirty());
  EXPECT_FALSE(b->needsRedraw());  // hidden views ask for nothing
}

TEST_F(ViewTest, KeysGoToTheFocusedViewAndFocusIsUniqueInTheTree) {
  a->setFocus(true);
  b->setFocus(true);
  EXPECT_FALSE(a->hasFocus());
  EXPECT_EQ(root.findFocused(), b);
  root.onKey(65, 0, &gui);
  b->setFocus(false);
  root.onKey(66, 0, &gui);
  EXPECT_EQ(log, (std::vector<std::string>{"b key 65"}));
}

TEST_F(ViewTest, RedrawRequestsFollowDirtyFlagsDownTheTree) {
  EXPECT_TRUE(root.needsRedraw());  // new views are dirty
  root.draw(&gui);
  EXPECT_FALSE(root.needsRedraw());
  a->invalidate();
  EXPECT_TRUE(root.needsRedraw());
  a->setHidden(true, &gui);
  EXPECT_FALSE(root.needsRedraw());
  root.invalidateTree();
  a->setHidden(false, &gui);
  b->invalidateAll();
  EXPECT_TRUE(root.isDirty() && a->isDirty() && b->isDirty());
}

TEST_F(ViewTest, MovingMovesTheWholeSubtree) {
  root.moveBy(5, -3);
  Rect rect;
  b->getRect(&rect);
  EXPECT_EQ(rect, (Rect{25, 35, -3, 7}));
  EXPECT_EQ(root.getWidth(), 100);
  root.setSize(40, 30);
  root.getRect(&rect);
  EXPECT_EQ(rect, (Rect{5, 45, -3, 27}));
}

TEST_F(ViewTest, RemovedChildrenLeaveTheTreeAndAreNotDestroyed) {
  root.removeChild(a);
  EXPECT_EQ(root.getChildCount(), 1);
  EXPECT_EQ(root.getChild(0), b);
  EXPECT_EQ(root.getChild(1), nullptr);
  EXPECT_EQ(root.getChild(-1), nullptr);
  EXPECT_EQ(a->getParent(), nullptr);
  delete a;
}

}  // namespace
}  // namespace velmora
