// A node of a skinned panel: a rectangle in window pixels with children, built from a layout
// row, bound to the row's parameters by slot (slot k shows the row's k-th parameter).
//
// Views never draw to a window directly: they draw through the drawing context handed into
// every call and only say whether they need redrawing. Input arrives at the root, which
// finds the target itself: mouse targets by hitTest (first child in child order wins),
// keys by focus. A view owns its children and its mouse-over callback object.
//
// Subclasses keep the order of the virtual operations below and add their own after the last.
//
// View: one node of a skinned panel, the base of every view.
// View::MouseoverFunctorBase: the callback a view calls when the mouse comes over it.
// View::MouseoverFunctor: that callback bound to a member function of an object (a window).
#pragma once

#include <memory>
#include <vector>

#include "control_panel/toolkit/control_keys.h"
#include "control_panel/toolkit/rect.h"

namespace velmora {

class iGUI;
class PluginGUI;
struct LayoutEntry;

class View {
 public:
  // Called with the view whenever its mouse-over flag is set; does nothing in the base.
  class MouseoverFunctorBase {
   public:
    virtual ~MouseoverFunctorBase() = default;
    virtual void operator()(View* /*view*/) {}
  };

  // Calls a member function of T with the view.
  template <class T>
  class MouseoverFunctor : public MouseoverFunctorBase {
   public:
    using Member = void (T::*)(View*);
    MouseoverFunctor(T* object, Member member) : object_(object), member_(member) {}
    void operator()(View* view) override { (object_->*member_)(view); }

   private:
    T* object_;
    Member member_;
  };

  // A view built outside a layout: no row, no owner, an empty rectangle.
  View();
  // The common construction from a layout row: owner, rectangle, id, row and hidden flag.
  View(const LayoutEntry* row, PluginGUI* owner);
  // Destroys every child, then the mouse-over callback object.
  virtual ~View();
  View(const View&) = delete;
  View& operator=(const View&) = delete;

  // Reads the row's arguments; `lines[k]` runs from line k to the end of the whole text.
  virtual void init(const char* const* lines, int count);
  // The name of the row's first parameter (the view's tool tip).
  virtual void getName(char* out, int capacity);
  virtual void setOwner(PluginGUI* owner);
  virtual int getId();
  virtual void setId(int id);
  // This view or the first match below it, depth-first in child order.
  virtual View* findById(int id);
  virtual int getParameterCount();
  virtual void setParameterCount(int count);
  // Whether slot `slot` takes part in the reset gesture (Alt-click).
  virtual bool isResettable(int slot);
  virtual void setHidden(bool hidden, iGUI* gui);
  virtual bool isHidden();
  // Passes the click on to the view under the point; leaves do nothing.
  virtual void onMouseButton(int x, int y, int reserved, bool down, iGUI* gui);
  virtual void setMouseOver(bool over, iGUI* gui);
  // Resets the parameters of the view under the point to their defaults.
  virtual void onResetClick(int x, int y, iGUI* gui);
  // Drag polling: children first, then onDrag while dragging, and onDrag + onDragEnd once the
  // left button is up.
  virtual void onTick(iGUI* gui);
  // Parameter `slot` of the row changed; re-read it.
  virtual void parameterChanged(int slot);
  // Passes the key on to the focused view.
  virtual void onKey(int key, int reserved, iGUI* gui);
  virtual void onTimer(iGUI* gui);
  virtual void onDrag(iGUI* gui);
  virtual void onDragEnd(iGUI* gui);
  virtual View* getChild(int index);
  virtual int getChildCount();
  // Takes ownership.
  virtual void addChild(View* child);
  // Gives ownership back to the caller.
  virtual void removeChild(View* child);
  virtual void setParent(View* parent);
  virtual View* getParent();
  // Both edges inclusive.
  virtual bool contains(int x, int y);
  // The deepest visible view under the point, or none.
  virtual View* hitTest(int x, int y);
  virtual void setRect(const Rect& rect);
  virtual int getWidth();
  virtual int getHeight();
  virtual void getRect(Rect* rect);
  virtual void setSize(int width, int height);
  virtual void moveBy(int dx, int dy);
  // Draws the children (unless hidden) and clears the dirty flag. Subclasses paint their
  // whole rectangle first.
  virtual void draw(iGUI* gui);
  virtual void invalidate();
  virtual bool needsRedraw();
  virtual void invalidateTree();
  virtual void invalidateAll();
  virtual bool hasFocus();
  // Clears the focus of the whole tree first.
  virtual void setFocus(bool focus);
  virtual void clearFocusTree();
  virtual void clearFocusAll();
  virtual View* findFocused();

  // Keyboard and wheel control, after the slots above.
  // Whether Tab stops here: an enabled control that the user can change.
  virtual bool isFocusable();
  // Whether input may reach the children (false while a cover lies over them).
  virtual bool passesInputToChildren();
  // The slot whose parameter the control shows now (group-switching widgets change it).
  virtual int activeSlot();
  // Which arrows move the control.
  virtual ControlAxis axis();
  // Carries out a key, wheel or reset action; false when it means nothing to this view.
  virtual bool adjust(ControlAction action, iGUI* gui);

  // Attaches a callback object (owned), destroying the one attached before.
  void setMouseoverFunctor(MouseoverFunctorBase* functor);
  MouseoverFunctorBase* getMouseoverFunctor() const { return mouseoverFunctor_.get(); }
  // The view the pointer is over; kept on the root.
  View* getMouseOverView() const { return mouseOverView_; }
  void setMouseOverView(View* view) { mouseOverView_ = view; }
  bool isMouseOver() const { return mouseOver_; }
  bool isDragging() const { return dragging_; }
  void setDragging(bool dragging) { dragging_ = dragging; }
  bool isDirty() const { return dirty_; }
  PluginGUI* getOwner() const { return owner_; }
  const LayoutEntry* getRow() const { return row_; }
  const Rect& rect() const { return rect_; }

 protected:
  PluginGUI* owner_ = nullptr;
  bool dirty_ = true;
  Rect rect_;
  int id_ = 0;
  const LayoutEntry* row_ = nullptr;
  std::vector<View*> children_;
  View* parent_ = nullptr;
  int parameterCount_ = 0;
  View* mouseOverView_ = nullptr;
  bool focus_ = false;
  bool dragging_ = false;
  bool hidden_ = false;
  bool mouseOver_ = false;
  std::unique_ptr<MouseoverFunctorBase> mouseoverFunctor_;
};

}  // namespace velmora
