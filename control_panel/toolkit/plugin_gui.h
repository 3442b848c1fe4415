// One layout: the tree of views built from a layout table over the Plugin, the routing of
// parameter changes to the views that show them, and the entry points of the hosting window
// (redraw, mouse, keys via the root, ticks).
//
// The layout owns its views. It starts without a drawing context; a window attaches one with
// setGUI() and detaches it (setGUI(nullptr)) before it goes away. A context still attached
// when the layout is destroyed is destroyed with it. The named-image cache lives as long as
// any layout does. User-interface thread only.
//
// PluginGUI: one layout, a tree of views over the parameter set.
#pragma once

#include <span>
#include <string>
#include <utility>
#include <vector>

#include "control_panel/toolkit/layout_entry.h"
#include "control_panel/toolkit/named_bitmap.h"
#include "control_panel/toolkit/plugin.h"

namespace velmora {

class iGUI;
class View;

class PluginGUI : public Plugin::ParameterObserver {
 public:
  using NamedBitmap = velmora::NamedBitmap;

  // The shared skin image of `name` (see velmora::getNamedBitmap).
  static NamedBitmap* getNamedBitmap(const char* name) { return velmora::getNamedBitmap(name); }

  // Builds the tree row by row and registers with the plug-in. Rows that name an unknown
  // class, or a parent that is not an earlier built row, are left out. The table must
  // outlive the layout.
  PluginGUI(int rowCount, const LayoutEntry* table, Plugin* plugin);
  ~PluginGUI() override;
  PluginGUI(const PluginGUI&) = delete;
  PluginGUI& operator=(const PluginGUI&) = delete;

  // Tells every view bound to parameter `index`, by slot, in the order the rows were built.
  void parameterChanged(int index) override;

  // Views change parameters through these (row = view id, slot = position in its row's
  // parameter list). Invalid rows, slots or parameters are ignored; getters give 0.
  // The setters store the value, then call the host, then every observer.
  void setViewNormalised(int row, int slot, float value);
  void setViewReal(int row, int slot, float value);
  void setViewText(int row, int slot, const char* text);
  float getViewNormalised(int row, int slot);
  float getViewReal(int row, int slot);
  void getViewText(int row, int slot, char* out, int capacity);
  // Every resettable slot of the view back to its default, each followed by the host call.
  void resetToDefaults(int row);
  // Every view re-reads its parameters.
  void refreshAll();
  // Moves the tree so that the root's top left is row 0's top left + (dx, dy).
  void positionRoot(int dx, int dy);

  // Entry points of the hosting window; each does nothing without a root and a context.
  void redraw();
  // With Alt or Ctrl held the click resets the clicked view's parameters instead.
  void mouseButton(int x, int y, int reserved, bool down);
  // Mouse-over tracking (the window pauses it while the left button is down).
  void mouseMove(int x, int y);
  // Drag polling of all views; call from idle time.
  void idleTick();
  void timerTick();
  bool needsRedraw();

  // Keyboard and wheel (beyond the mouse): Tab and Shift+Tab move the focus through the
  // controls in reading order (FocusOrder); other keys act on the focused control
  // (actionForKey). Keys neither uses go to onUnhandledKey. True when the key was used.
  bool key(int key, bool shift);
  // Wheel notches (up positive) over (x, y) step the control there; fine with Shift.
  bool wheel(int x, int y, int notches, bool shift);
  // Whether the window holds the keyboard focus: the focus ring is drawn only then.
  void setKeyboardFocus(bool focused);
  bool hasKeyboardFocus() const { return keyboardFocus_; }
  // The control Tab last reached, when it can still be reached; else none.
  View* focusedControl();
  // The row of the view the user last changed a value through (drag, wheel, key, click),
  // once; -1 when none did since the last call.
  int takeTouchedRow();
  // "Name: value" of the parameter a view shows now; its name alone when it shows none.
  std::string readout(View* view);
  // Whether `view` shows one of `parameters` in its active slot.
  bool shows(View* view, std::span<const int> parameters) const;
  // The first control in reading order, not covered or disabled, that shows one of
  // `parameters`; else the first shown view bound to one that takes no focus (the logo); none
  // when the layout has neither.
  View* controlShowing(std::span<const int> parameters);
  // Moves the focus to `control` (if it takes the focus) and presses it, as Space on it does.
  // False for none, or a control that has no press.
  bool press(View* control);
  // The control the last key or press() acted on; none after a key that acted on none.
  View* lastKeyTarget() const { return keyTarget_; }

 protected:
  // Keys the layout itself has no use for; false when unused.
  virtual bool onUnhandledKey(int key, bool shift);

 public:
  Plugin* getPlugin() const { return plugin_; }
  iGUI* getGUI() const { return gui_; }
  void setGUI(iGUI* gui) { gui_ = gui; }
  View* getRoot() const { return views_.empty() ? nullptr : views_[0]; }
  // The view built from row `row`, or none.
  View* getView(int row) const;
  int getRowCount() const { return rowCount_; }
  const LayoutEntry* getTable() const { return table_; }
  // The (row, slot) pairs parameter `index` is routed to.
  const std::vector<std::pair<int, int>>& routing(int index) const;

  // Layouts alive in the process.
  static int liveCount();

 private:
  // The parameter behind (row, slot), or -1.
  int parameterAt(int row, int slot) const;
  // The focus ring around the focused control, inside a draw pass.
  void drawFocusRing(View* view);
  // Only changes made while user input is handled, and not a view's reaction to another.
  void touch(int row) {
    if (userInput_ > 0 && changeDepth_ == 0) touchedRow_ = row;
  }
  struct UserInput {
    explicit UserInput(int& depth) : depth_(depth) { ++depth_; }
    ~UserInput() { --depth_; }
    int& depth_;
  };

  Plugin* plugin_;
  iGUI* gui_ = nullptr;
  std::vector<View*> views_;
  std::vector<std::vector<std::pair<int, int>>> routing_;
  const LayoutEntry* table_;
  int rowCount_;
  bool keyboardFocus_ = false;
  int touchedRow_ = -1;
  View* keyTarget_ = nullptr;
  int changeDepth_ = 0;
  int userInput_ = 0;  // inside mouseButton, idleTick, key or wheel  // nested view changes (a
                       // link's reaction) are not the user's touch
};

}  // namespace velmora
