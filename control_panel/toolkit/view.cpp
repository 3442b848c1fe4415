#include "control_panel/toolkit/view.h"

#include <algorithm>

#include "control_panel/toolkit/i_gui.h"
#include "control_panel/toolkit/layout_entry.h"
#include "control_panel/toolkit/plugin_gui.h"

namespace velmora {

View::View() = default;

View::View(const LayoutEntry* row, PluginGUI* owner)
    : owner_(owner),
      rect_{row->left, row->right, row->top, row->bottom},
      id_(row->id),
      row_(row),
      hidden_(row->hidden) {}

View::~View() {
  for (View* child : children_) delete child;
  children_.clear();
  mouseoverFunctor_.reset();
}

void View::init(const char* const*, int) {}

void View::getName(char* out, int capacity) {
  if (row_ == nullptr || owner_ == nullptr || owner_->getPlugin() == nullptr) return;
  owner_->getPlugin()->getParameterName(row_->parameters[0], out, capacity);
}

void View::setOwner(PluginGUI* owner) {
  owner_ = owner;
}

int View::getId() {
  return id_;
}

void View::setId(int id) {
  id_ = id;
}

View* View::findById(int id) {
  if (id_ == id) return this;
  for (View* child : children_) {
    if (View* found = child->findById(id)) return found;
  }
  return nullptr;
}

int View::getParameterCount() {
  return parameterCount_;
}

void View::setParameterCount(int count) {
  parameterCount_ = count;
}

bool View::isResettable(int) {
  return true;
}

void View::setHidden(bool hidden, iGUI* gui) {
  if (!hidden_ && hidden && dragging_) onDragEnd(gui);
  hidden_ = hidden;
  invalidate();
}

bool View::isHidden() {
  return hidden_;
}

void View::onMouseButton(int x, int y, int reserved, bool down, iGUI* gui) {
  if (hidden_) return;
  View* target = hitTest(x, y);
  if (target != nullptr && target != this) target->onMouseButton(x, y, reserved, down, gui);
}

void View::setMouseOver(bool over, iGUI*) {
  mouseOver_ = over;
  if (mouseoverFunctor_) (*mouseoverFunctor_)(this);
}

void View::onResetClick(int x, int y, iGUI* gui) {
  if (hidden_) return;
  View* target = hitTest(x, y);
  if (target == nullptr) return;
  if (target == this) {
    if (owner_ != nullptr) owner_->resetToDefaults(id_);
  } else {
    target->onResetClick(x, y, gui);
  }
}

void View::onTick(iGUI* gui) {
  for (View* child : children_) child->onTick(gui);
  if (!dragging_) return;
  if (gui != nullptr && gui->isLeftButtonDown()) {
    onDrag(gui);
  } else {
    onDrag(gui);
    onDragEnd(gui);
    dragging_ = false;
  }
}

void View::parameterChanged(int) {}

void View::onKey(int key, int reserved, iGUI* gui) {
  View* target = findFocused();
  if (target != nullptr && target != this) target->onKey(key, reserved, gui);
}

void View::onTimer(iGUI* gui) {
  for (View* child : children_) child->onTimer(gui);
}

void View::onDrag(iGUI*) {}

void View::onDragEnd(iGUI*) {}

View* View::getChild(int index) {
  if (index < 0 || index >= getChildCount()) return nullptr;
  return children_[static_cast<size_t>(index)];
}

int View::getChildCount() {
  return static_cast<int>(children_.size());
}

void View::addChild(View* child) {
  if (child == nullptr) return;
  child->setParent(this);
  children_.push_back(child);
}

void View::removeChild(View* child) {
  const auto found = std::find(children_.begin(), children_.end(), child);
  if (found == children_.end()) return;
  children_.erase(found);
  child->setParent(nullptr);
}

void View::setParent(View* parent) {
  parent_ = parent;
}

View* View::getParent() {
  return parent_;
}

bool View::contains(int x, int y) {
  return rect_.contains(x, y);
}

View* View::hitTest(int x, int y) {
  if (hidden_ || !contains(x, y)) return nullptr;
  if (children_.empty()) return this;
  for (View* child : children_) {
    if (child->isHidden()) continue;
    if (View* hit = child->hitTest(x, y)) return hit;
  }
  return this;
}

void View::setRect(const Rect& rect) {
  rect_ = rect;
}

int View::getWidth() {
  return rect_.width();
}

int View::getHeight() {
  return rect_.height();
}

void View::getRect(Rect* rect) {
  *rect = rect_;
}

void View::setSize(int width, int height) {
  rect_.right = rect_.left + width;
  rect_.bottom = rect_.top + height;
}

void View::moveBy(int dx, int dy) {
  rect_.left += dx;
  rect_.right += dx;
  rect_.top += dy;
  rect_.bottom += dy;
  invalidate();
  for (View* child : children_) child->moveBy(dx, dy);
}

void View::draw(iGUI* gui) {
  if (!hidden_) {
    for (View* child : children_) child->draw(gui);
  }
  dirty_ = false;
}

void View::invalidate() {
  dirty_ = true;
}

bool View::needsRedraw() {
  if (hidden_) return false;
  if (dirty_) return true;
  return std::any_of(children_.begin(), children_.end(),
                     [](View* child) { return child->needsRedraw(); });
}

void View::invalidateTree() {
  invalidate();
  for (View* child : children_) child->invalidateTree();
}

void View::invalidateAll() {
  View* root = this;
  while (root->getParent() != nullptr) root = root->getParent();
  root->invalidateTree();
}

bool View::hasFocus() {
  return focus_;
}

void View::setFocus(bool focus) {
  clearFocusAll();
  focus_ = focus;
}

void View::clearFocusTree() {
  if (focus_) {
    focus_ = false;
    invalidate();
  }
  for (View* child : children_) child->clearFocusTree();
}

void View::clearFocusAll() {
  View* root = this;
  while (root->getParent() != nullptr) root = root->getParent();
  root->clearFocusTree();
}

View* View::findFocused() {
  if (focus_) return this;
  for (View* child : children_) {
    if (View* found = child->findFocused()) return found;
  }
  return nullptr;
}

void View::setMouseoverFunctor(MouseoverFunctorBase* functor) {
  mouseoverFunctor_.reset(functor);
}

bool View::isFocusable() {
  return false;
}

bool View::passesInputToChildren() {
  return true;
}

int View::activeSlot() {
  return 0;
}

ControlAxis View::axis() {
  return ControlAxis::None;
}

bool View::adjust(ControlAction, iGUI*) {
  return false;
}

}  // namespace velmora
