#include "control_panel/toolkit/plugin_gui.h"

#include <algorithm>
#include <cstring>

#include "control_panel/toolkit/diagnostics.h"
#include "control_panel/toolkit/focus_order.h"
#include "control_panel/toolkit/i_gui.h"
#include "control_panel/toolkit/view.h"
#include "control_panel/toolkit/view_registry.h"

namespace velmora {
namespace {

int liveLayouts = 0;

constexpr int kMaxParameters = static_cast<int>(sizeof(LayoutEntry::parameters) / sizeof(int32_t));

// Pointers to the start of every line; each runs to the end of the whole text. A text of n
// newlines has n + 1 lines, an empty text none.
std::vector<const char*> argumentLines(const char* text) {
  std::vector<const char*> lines;
  if (text == nullptr || *text == '\0') return lines;
  lines.push_back(text);
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p == '\n') lines.push_back(p + 1);
  }
  return lines;
}

}  // namespace

PluginGUI::PluginGUI(int rowCount, const LayoutEntry* table, Plugin* plugin)
    : plugin_(plugin), table_(table), rowCount_(table != nullptr && rowCount > 0 ? rowCount : 0) {
  const int parameterCount = plugin_ != nullptr ? plugin_->getParameterCount() : 0;
  routing_.resize(static_cast<size_t>(parameterCount));
  views_.assign(static_cast<size_t>(rowCount_), nullptr);
  for (int i = 0; i < rowCount_; ++i) {
    const LayoutEntry& row = table_[i];
    // Only trees: the root has no parent, every other row an earlier, built one.
    const bool parentOk =
        i == 0 ? row.parent == -1 : row.parent >= 0 && row.parent < i && views_[row.parent];
    if (!parentOk) continue;
    View* view = createView(&row, this);
    if (view == nullptr) continue;
    if (row.parent != -1) views_[static_cast<size_t>(row.parent)]->addChild(view);
    const std::vector<const char*> lines = argumentLines(row.arguments);
    const int count = static_cast<int>(lines.size());
    if (const ArgumentCount accepted = argumentCountOf(row.className); !accepted.accepts(count)) {
      // A table fault: the widget shows nothing, and the trace says why.
      reportDiagnostic("layout row " + std::to_string(i) + ": " + row.className + " takes " +
                       std::to_string(accepted.fewest) + " to " + std::to_string(accepted.most) +
                       " arguments, not " + std::to_string(count) + "; it is left blank\n");
    }
    view->init(lines.data(), count);
    int slot = 0;
    for (; slot < kMaxParameters && row.parameters[slot] != -1; ++slot) {
      const int p = row.parameters[slot];
      if (p >= 0 && p < parameterCount) routing_[static_cast<size_t>(p)].emplace_back(i, slot);
    }
    view->setParameterCount(slot);
    views_[static_cast<size_t>(i)] = view;
  }
  if (plugin_ != nullptr) plugin_->addObserver(this);
  ++liveLayouts;
}

PluginGUI::~PluginGUI() {
  if (plugin_ != nullptr) plugin_->removeObserver(this);
  delete getRoot();
  views_.clear();
  delete gui_;
  gui_ = nullptr;
  routing_.clear();
  if (--liveLayouts == 0) releaseNamedBitmaps();
}

int PluginGUI::liveCount() {
  return liveLayouts;
}

View* PluginGUI::getView(int row) const {
  if (row < 0 || row >= static_cast<int>(views_.size())) return nullptr;
  return views_[static_cast<size_t>(row)];
}

const std::vector<std::pair<int, int>>& PluginGUI::routing(int index) const {
  static const std::vector<std::pair<int, int>> none;
  if (index < 0 || index >= static_cast<int>(routing_.size())) return none;
  return routing_[static_cast<size_t>(index)];
}

void PluginGUI::parameterChanged(int index) {
  if (index < 0 || index >= static_cast<int>(routing_.size())) return;
  // By index: a view may change parameters (and so re-enter) while being told.
  const std::vector<std::pair<int, int>>& targets = routing_[static_cast<size_t>(index)];
  for (size_t i = 0; i < targets.size(); ++i) {
    if (View* view = getView(targets[i].first)) view->parameterChanged(targets[i].second);
  }
}

int PluginGUI::parameterAt(int row, int slot) const {
  View* view = getView(row);
  if (view == nullptr || slot < 0 || slot >= view->getParameterCount() || plugin_ == nullptr) {
    return -1;
  }
  const int p = table_[row].parameters[slot];
  return p >= 0 && p < plugin_->getParameterCount() ? p : -1;
}

void PluginGUI::setViewNormalised(int row, int slot, float value) {
  const int p = parameterAt(row, slot);
  if (p < 0) return;
  touch(row);
  ++changeDepth_;
  plugin_->getParameter(p)->setNormalised(value);
  plugin_->userChanged(p, true);
  --changeDepth_;
}

void PluginGUI::setViewReal(int row, int slot, float value) {
  const int p = parameterAt(row, slot);
  if (p < 0) return;
  touch(row);
  ++changeDepth_;
  plugin_->getParameter(p)->setReal(value);
  plugin_->userChanged(p, true);
  --changeDepth_;
}

void PluginGUI::setViewText(int row, int slot, const char* text) {
  const int p = parameterAt(row, slot);
  if (p < 0 || text == nullptr) return;
  touch(row);
  ++changeDepth_;
  plugin_->getParameter(p)->setText(text, static_cast<int>(std::strlen(text)));
  plugin_->userChanged(p, true);
  --changeDepth_;
}

float PluginGUI::getViewNormalised(int row, int slot) {
  const int p = parameterAt(row, slot);
  return p < 0 ? 0.0f : plugin_->getParameter(p)->getNormalised();
}

float PluginGUI::getViewReal(int row, int slot) {
  const int p = parameterAt(row, slot);
  return p < 0 ? 0.0f : plugin_->getParameter(p)->getReal();
}

void PluginGUI::getViewText(int row, int slot, char* out, int capacity) {
  const int p = parameterAt(row, slot);
  if (p >= 0) plugin_->getParameter(p)->getText(out, capacity);
}

void PluginGUI::resetToDefaults(int row) {
  View* view = getView(row);
  if (view == nullptr) return;
  touch(row);
  for (int slot = 0; slot < view->getParameterCount(); ++slot) {
    const int p = parameterAt(row, slot);
    if (p < 0 || !view->isResettable(slot)) continue;
    Parameter* parameter = plugin_->getParameter(p);
    ++changeDepth_;
    parameter->setReal(parameter->getDefault());
    plugin_->userChanged(p, true);
    --changeDepth_;
  }
}

void PluginGUI::refreshAll() {
  for (int i = 0; i < static_cast<int>(routing_.size()); ++i) parameterChanged(i);
}

void PluginGUI::positionRoot(int dx, int dy) {
  View* root = getRoot();
  if (root == nullptr) return;
  Rect present;
  root->getRect(&present);
  root->moveBy(table_[0].left + dx - present.left, table_[0].top + dy - present.top);
}

void PluginGUI::redraw() {
  View* root = getRoot();
  if (root == nullptr || gui_ == nullptr) return;
  gui_->beginDraw();
  root->draw(gui_);
  if (keyboardFocus_) drawFocusRing(focusedControl());
  gui_->endDraw();
}

void PluginGUI::mouseButton(int x, int y, int reserved, bool down) {
  const UserInput input(userInput_);
  View* root = getRoot();
  if (root == nullptr || gui_ == nullptr) return;
  // A view's action can detach the layout from its window (a dialog, a layout swap): the
  // draw ends on the context it began on.
  iGUI* gui = gui_;
  gui->beginDraw();
  if (gui->isAltDown() || gui->isControlDown()) {
    root->onResetClick(x, y, gui);
  } else {
    root->onMouseButton(x, y, reserved, down, gui);
  }
  gui->endDraw();
}

void PluginGUI::mouseMove(int x, int y) {
  View* root = getRoot();
  if (root == nullptr || gui_ == nullptr) return;
  gui_->beginDraw();
  if (!root->isHidden()) {
    View* over = root->hitTest(x, y);
    View* current = root->getMouseOverView();
    if (over != current) {
      if (current != nullptr) current->setMouseOver(false, gui_);
      if (over != nullptr) over->setMouseOver(true, gui_);
      root->setMouseOverView(over);
    }
  }
  gui_->endDraw();
}

void PluginGUI::idleTick() {
  const UserInput input(userInput_);
  View* root = getRoot();
  if (root == nullptr || gui_ == nullptr) return;
  iGUI* gui = gui_;  // as in mouseButton
  gui->beginDraw();
  root->onTick(gui);
  gui->endDraw();
}

void PluginGUI::timerTick() {
  View* root = getRoot();
  if (root == nullptr || gui_ == nullptr) return;
  iGUI* gui = gui_;  // as in mouseButton
  gui->beginDraw();
  root->onTimer(gui);
  gui->endDraw();
}

bool PluginGUI::needsRedraw() {
  View* root = getRoot();
  return root != nullptr && root->needsRedraw();
}

View* PluginGUI::focusedControl() {
  View* root = getRoot();
  View* focused = root != nullptr ? root->findFocused() : nullptr;
  if (focused == nullptr) return nullptr;
  // A control that was covered, hidden or disabled since keeps its flag but not the focus.
  const std::vector<View*> order = FocusOrder::of(root);
  return std::find(order.begin(), order.end(), focused) != order.end() ? focused : nullptr;
}

bool PluginGUI::key(int key, bool shift) {
  const UserInput input(userInput_);
  View* root = getRoot();
  if (root == nullptr || gui_ == nullptr) return false;
  keyTarget_ = nullptr;
  if (key == kKeyTab) {
    View* next = FocusOrder::next(root, focusedControl(), shift);
    if (next == nullptr) return false;
    next->setFocus(true);
    next->invalidate();
    root->invalidate();
    return true;
  }
  View* focused = focusedControl();
  const ControlAction action =
      focused != nullptr ? actionForKey(key, shift, focused->axis()) : ControlAction::None;
  if (action != ControlAction::None) {
    iGUI* gui = gui_;  // as in mouseButton
    gui->beginDraw();
    const bool used = focused->adjust(action, gui);
    gui->endDraw();
    if (used) {
      keyTarget_ = focused;
      return true;
    }
  }
  return onUnhandledKey(key, shift);
}

bool PluginGUI::wheel(int x, int y, int notches, bool shift) {
  const UserInput input(userInput_);
  View* root = getRoot();
  if (root == nullptr || gui_ == nullptr) return false;
  View* target = root->hitTest(x, y);
  const ControlAction action = actionForWheel(notches, shift);
  if (target == nullptr || action == ControlAction::None || target->axis() == ControlAxis::None) {
    return false;
  }
  // Not under a cover: the same views the mouse reaches.
  const std::vector<View*> order = FocusOrder::of(root);
  if (std::find(order.begin(), order.end(), target) == order.end()) return false;
  iGUI* gui = gui_;
  gui->beginDraw();
  bool used = false;
  for (int n = 0; n < (notches < 0 ? -notches : notches); ++n) used = target->adjust(action, gui);
  gui->endDraw();
  return used;
}

void PluginGUI::setKeyboardFocus(bool focused) {
  if (focused == keyboardFocus_) return;
  keyboardFocus_ = focused;
  if (View* root = getRoot()) root->invalidate();
}

int PluginGUI::takeTouchedRow() {
  const int row = touchedRow_;
  touchedRow_ = -1;
  return row;
}

std::string PluginGUI::readout(View* view) {
  if (view == nullptr) return std::string();
  char name[256] = {};
  view->getName(name, sizeof name - 1);
  const int p = parameterAt(view->getId(), view->activeSlot());
  if (p < 0 || name[0] == '\0') return name;
  char value[64] = {};
  plugin_->valueText(p, value, sizeof value);
  return std::string(name) + ": " + value;
}

bool PluginGUI::shows(View* view, std::span<const int> parameters) const {
  if (view == nullptr) return false;
  const int shown = parameterAt(view->getId(), view->activeSlot());
  return std::find(parameters.begin(), parameters.end(), shown) != parameters.end();
}

View* PluginGUI::controlShowing(std::span<const int> parameters) {
  View* root = getRoot();
  if (root == nullptr) return nullptr;
  for (View* control : FocusOrder::of(root)) {
    if (shows(control, parameters)) return control;
  }
  for (View* view : views_) {
    if (view != nullptr && !view->isHidden() && !view->isFocusable() && shows(view, parameters)) {
      return view;
    }
  }
  return nullptr;
}

bool PluginGUI::press(View* control) {
  const UserInput input(userInput_);
  View* root = getRoot();
  if (control == nullptr || root == nullptr || gui_ == nullptr) return false;
  keyTarget_ = control;
  if (control->isFocusable()) {
    control->setFocus(true);  // takes it from any other
    control->invalidate();
    root->invalidate();
  }
  iGUI* gui = gui_;  // as in mouseButton
  gui->beginDraw();
  const bool used = control->adjust(ControlAction::Activate, gui);
  gui->endDraw();
  return used;
}

bool PluginGUI::onUnhandledKey(int, bool) {
  return false;
}

void PluginGUI::drawFocusRing(View* view) {
  if (view == nullptr) return;
  // Black inside white, so the ring shows on dark and light skin alike.
  const Rect r = view->rect();
  gui_->frameRect(r.left - 1, r.top - 1, r.width() + 3, r.height() + 3);
  const int left = r.left - 2, top = r.top - 2, w = r.width() + 5, h = r.height() + 5;
  gui_->fillRect(left, top, w, 1);
  gui_->fillRect(left, top + h - 1, w, 1);
  gui_->fillRect(left, top, 1, h);
  gui_->fillRect(left + w - 1, top, 1, h);
}

}  // namespace velmora
