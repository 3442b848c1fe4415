// What every panel widget shares: reading and writing its slots through the layout (every
// write goes the user's way: host first, then every view of the parameter), showing a
// prepared look, and the click.
//
// A click belongs to the widget it was pressed on. The layout delivers a release to whatever
// lies under the pointer, so widgets ignore release events and finish the click from their
// own drag state instead: the press starts a drag, and when the layout's drag polling sees
// the button up, the pressed widget asks whether the pointer is still inside itself.
#pragma once

#include "control_panel/toolkit/bitmap.h"
#include "control_panel/toolkit/view.h"

namespace velmora {

class PanelWidget : public View {
 public:
  using View::View;

  // A press (when the widget takes presses) starts the click; releases are ignored here.
  void onMouseButton(int x, int y, int reserved, bool down, iGUI* gui) override;
  // Follows the pointer while the button is held (the pressed look shows whether a release
  // now would count).
  void onDrag(iGUI* gui) override;
  // The button went up: a release inside the widget counts.
  void onDragEnd(iGUI* gui) override;
  // Unless a class says otherwise, only slot 0 takes part in the reset gesture.
  bool isResettable(int slot) override { return slot == 0; }

  // Keyboard and wheel: a widget that takes presses is a focus stop. Activate does what a
  // click inside does, Reset what the reset gesture does; the faders and knobs add steps.
  bool isFocusable() override { return takesPresses(); }
  bool adjust(ControlAction action, iGUI* gui) override;

  bool isPressed() const { return pressed_; }
  float value() const { return value_; }

 protected:
  // Whether a press now starts a click (enabled widgets that react to the mouse).
  virtual bool takesPresses() { return true; }
  // The press has started; nothing more by default.
  virtual void onPress(iGUI* /*gui*/) {}
  // The button went up over the widget that was pressed.
  virtual void onReleaseInside(iGUI* /*gui*/) {}
  // Whether a release at the pointer would count now.
  bool pointerInside(iGUI* gui);

  // A click as the keyboard gives it: the press and a release inside at once. Widgets
  // that are dragged, not clicked, say no.
  virtual bool activates() { return true; }

  float normalised(int slot);
  float real(int slot);
  // Through the layout, so the host and every view of the parameter hear of it.
  void writeNormalised(int slot, float value);
  void writeReal(int slot, float value);
  bool hasSlot(int slot) { return slot >= 0 && slot < getParameterCount(); }
  // Copies `look` to the widget's rectangle, or for a widget that draws into its parent
  // flAlphaCanvas, into the canvas's buffer at the widget's offset; nothing without a look.
  void show(Bitmap* look, iGUI* gui);
  // Draws the widget now, from inside a drag: through its flAlphaCanvas when it draws into
  // one (the canvas shows its whole buffer), else by itself.
  void drawNow(iGUI* gui);

  float value_ = 0;  // the main slot, as last read
  bool pressed_ = false;
  bool inside_ = false;           // while pressed: the pointer is over the widget
  bool drawsIntoParent_ = false;  // the alpha classes
};

}  // namespace velmora
