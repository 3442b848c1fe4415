// The panel's containers: the background canvases that composite their children off screen,
// the lamp tray that draws its selected lamp last, and the trays that cover their children.
// Containers take no part in the reset gesture: a click between their children is no click
// on a parameter.
//
// flCanvas: a background drawn with its children off screen, so the window changes at once.
// flAlphaCanvas: a background its children blend into (alpha buttons, the output-level knob).
// flTray6: the tray of the sample-rate or clock-source lamps; the selected lamp is drawn last.
// flADATTray: a cover over its children while the input mix group is S/PDIF.
// flTray5: a cover over its children while its parameter is not 0 (in no layout).
#pragma once

#include <memory>

#include "control_panel/toolkit/bitmap.h"
#include "control_panel/toolkit/view.h"

namespace velmora {

// Background image; paints it and the children into an off-screen copy, then shows the copy
// in one step.
class flCanvas : public View {
 public:
  using View::View;
  void init(const char* const* lines, int count) override;
  void draw(iGUI* gui) override;
  bool isResettable(int) override { return false; }

 private:
  Bitmap* background_ = nullptr;
  std::unique_ptr<Bitmap> copy_;
};

// Background image (second line empty). Children blend into its buffer (alpha buttons, the
// output level knob), which is then shown.
class flAlphaCanvas : public View {
 public:
  using View::View;
  void init(const char* const* lines, int count) override;
  void draw(iGUI* gui) override;
  bool isResettable(int) override { return false; }

  // The buffer children draw into while the canvas draws; none outside.
  Bitmap* buffer() { return drawing_ ? buffer_.get() : nullptr; }

 private:
  std::unique_ptr<Bitmap> crop_;
  std::unique_ptr<Bitmap> buffer_;
  bool drawing_ = false;
};

// Slot 0 a selection (sample rate or sync source): draws every child but the selected one
// (index trunc(real value) - 1), then that one, on top where lamps overlap.
class flTray6 : public View {
 public:
  using View::View;
  void parameterChanged(int slot) override;
  void draw(iGUI* gui) override;
  bool isResettable(int) override { return false; }
};

// A cover over its children: cover, mask, background (exactly three lines). While covering,
// the children are drawn, the cover is blended over them, and no mouse event reaches them.
class flCoveringTray : public View {
 public:
  using View::View;
  void init(const char* const* lines, int count) override;
  void parameterChanged(int slot) override;
  void draw(iGUI* gui) override;
  View* hitTest(int x, int y) override;
  void onMouseButton(int x, int y, int reserved, bool down, iGUI* gui) override;
  void onResetClick(int x, int y, iGUI* gui) override;
  bool isResettable(int) override { return false; }
  bool passesInputToChildren() override { return !isCovering(); }

  bool isCovering();

 protected:
  // Whether the slot-0 value (real) asks for the cover.
  virtual bool coversAt(float real) = 0;

 private:
  Bitmap* cover_ = nullptr;
  Bitmap* mask_ = nullptr;
  std::unique_ptr<Bitmap> crop_;
  std::unique_ptr<Bitmap> buffer_;
  bool ready_ = false;
};

// Slot 0 the input mix group: covers while the group is S/PDIF (1).
class flADATTray : public flCoveringTray {
 public:
  using flCoveringTray::flCoveringTray;

 protected:
  bool coversAt(float real) override;
};

// Covers while slot 0 is not 0.
class flTray5 : public flCoveringTray {
 public:
  using flCoveringTray::flCoveringTray;

 protected:
  bool coversAt(float real) override;
};

// The flAlphaCanvas `view` draws into, or none.
flAlphaCanvas* alphaParentOf(View* view);

}  // namespace velmora
