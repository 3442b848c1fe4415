// Buttons whose click is an action rather than a shown state: the momentary push button, the
// input pair link of the selected group, the invisible logo hotspot and the unit-name label.
//
// flPushButton: a momentary button; each click flips its parameter.
// flLinkButton: the pair-link button of the selected input mix group.
// flLogoButton: the invisible hotspot on the logo.
// flTextButton: the unit-name label, which acts as a button.
#pragma once

#include <memory>

#include "control_panel/panels/panel_widget.h"
#include "control_panel/toolkit/static.h"

namespace velmora {

// Arguments image, mask, background (pressed look: the image through the mask on the crop)
// or image, background (pressed look: the image over the crop); the normal look is the crop.
// Every click flips slot 0; the look shows only whether the button is held down. When the
// mask is not in the skin the image is copied over the crop, so the pressed look stays.
class flPushButton : public PanelWidget {
 public:
  using PanelWidget::PanelWidget;
  void init(const char* const* lines, int count) override;
  void parameterChanged(int slot) override;
  void draw(iGUI* gui) override;

 protected:
  void onReleaseInside(iGUI* gui) override;

  std::unique_ptr<Bitmap> normal_;
  std::unique_ptr<Bitmap> pressedLook_;
};

// Slot 0 the input mix group (179), slots 1-4 the pair link of groups 0-3; looks as
// flButton. A click toggles the selected group's link.
class flLinkButton : public PanelWidget {
 public:
  using PanelWidget::PanelWidget;
  void init(const char* const* lines, int count) override;
  void parameterChanged(int slot) override;
  void draw(iGUI* gui) override;
  void getName(char* out, int capacity) override;
  bool isResettable(int slot) override { return slot == activeSlot(); }

 protected:
  void onReleaseInside(iGUI* gui) override;

 public:
  int activeSlot() override;

 private:
  std::unique_ptr<Bitmap> off_;
  std::unique_ptr<Bitmap> on_;
};

// An invisible hotspot: a click flips slot 0.
class flLogoButton : public PanelWidget {
 public:
  using PanelWidget::PanelWidget;
  // Nothing to see, so no place for a focus ring.
  bool isFocusable() override { return false; }

 protected:
  void onReleaseInside(iGUI* gui) override;
};

// A text label (the arguments of Static) that flips slot 0 when pressed. Its text is set by
// the layout (the unit's name), never from the parameter.
class flTextButton : public Static {
 public:
  using Static::Static;
  void onMouseButton(int x, int y, int reserved, bool down, iGUI* gui) override;
  void parameterChanged(int slot) override;
  bool isResettable(int slot) override { return slot == 0; }
  bool isFocusable() override { return getParameterCount() > 0; }
  // Space or Return flips slot 0 as a press does; Delete resets it.
  bool adjust(ControlAction action, iGUI* gui) override;
};

}  // namespace velmora
