// Faders and knobs: the balance slider, the input faders with their four groups and pair
// link, the rotary knob with its frame strips, the input pan and the output level.
//
// flHSlider: the balance slider.
// flVSlider: a vertical fader.
// flVSlider2: an input fader, for the selected input mix group, moving its pair when linked.
// flKnob: a rotary knob drawn from frame strips.
// flKnob4: the pan knob of an input, for the selected input mix group.
// flKnob5: the output-level knob of an output pair.
#pragma once

#include <array>
#include <memory>

#include "control_panel/panels/panel_widget.h"

namespace velmora {

// Balance: handle, handle mask, tray image, background, optional step (default 1). The
// handle's left edge follows the pointer's position less half the handle, snapped to the
// step; travel = width - handle width - 3 (at least 1).
class flHSlider : public PanelWidget {
 public:
  using PanelWidget::PanelWidget;
  void init(const char* const* lines, int count) override;
  void parameterChanged(int slot) override;
  void onDrag(iGUI* gui) override;
  void onDragEnd(iGUI* gui) override;
  void draw(iGUI* gui) override;

  ControlAxis axis() override { return ControlAxis::Horizontal; }
  bool adjust(ControlAction action, iGUI* gui) override;
  bool activates() override { return false; }

  int travel() const { return travel_; }
  int step() const { return step_; }
  // Where the handle is drawn, from the widget's left edge.
  int handleX() const;

 private:
  std::unique_ptr<Bitmap> tray_;
  Bitmap* handle_ = nullptr;
  Bitmap* handleMask_ = nullptr;
  std::unique_ptr<Bitmap> composite_;
  int travel_ = 1;
  int step_ = 1;
};

// Handle, handle mask, tray image, background (exactly four). 95 pixels of travel; the
// handle's top is at trunc((1 - value) * 95) + 2.
class flVSlider : public PanelWidget {
 public:
  using PanelWidget::PanelWidget;
  void init(const char* const* lines, int count) override;
  void parameterChanged(int slot) override;
  void onDrag(iGUI* gui) override;
  void onDragEnd(iGUI* gui) override;
  void draw(iGUI* gui) override;

  static constexpr int kTravel = 95;
  // With Shift held a drag moves the level a tenth as fast; once Shift was used the rest of
  // the drag follows the pointer's movement, so letting go of Shift does not jump.
  static constexpr int kFineDivisor = 10;
  int handleY() const;
  ControlAxis axis() override { return ControlAxis::Vertical; }
  bool adjust(ControlAction action, iGUI* gui) override;
  int activeSlot() override { return levelSlot(); }

 protected:
  // The slot a drag writes.
  virtual int levelSlot() { return 0; }
  // Stores a dragged level.
  virtual void writeLevel(float value);
  bool activates() override { return false; }
  void onPress(iGUI* gui) override;

  std::unique_ptr<Bitmap> tray_;
  Bitmap* handle_ = nullptr;
  Bitmap* handleMask_ = nullptr;
  std::unique_ptr<Bitmap> composite_;
  bool relative_ = false;  // this drag follows movement, not position
  int lastY_ = 0;
};

// An input fader. Slots 0 the group (179) and per group g: 3g+1 own level, 3g+2 partner
// level, 3g+3 pair link. Linked, a drag moves both; linking leaves the pair at the lower
// level.
class flVSlider2 : public flVSlider {
 public:
  using flVSlider::flVSlider;
  void parameterChanged(int slot) override;
  bool isResettable(int slot) override;
  void getName(char* out, int capacity) override;

  int group();

 protected:
  int levelSlot() override { return 3 * group() + 1; }
  void writeLevel(float value) override;
  bool linked(int g) { return normalised(3 * g + 3) != 0; }
};

// Rotary knob: rotation strip, rotation mask, track strip, track mask, background (five).
// Both strips hold 29 frames side by side, the knob's 20 pixels apart, the track's 27. A
// drag adds the pointer's movement along the axis that moved more (right and up positive),
// 1/200 per pixel, 1/1000 with Shift.
class flKnob : public PanelWidget {
 public:
  using PanelWidget::PanelWidget;
  void init(const char* const* lines, int count) override;
  void parameterChanged(int slot) override;
  void onDrag(iGUI* gui) override;
  void onDragEnd(iGUI* gui) override;
  void draw(iGUI* gui) override;

  // The frame of a value: a = 270 v - 135 degrees; 14 within 2.5 degrees of the middle, 13
  // or 15 within 10, else one frame per 10 degrees, 0-28.
  static int frameIndex(float value);
  ControlAxis axis() override { return ControlAxis::Horizontal; }
  bool adjust(ControlAction action, iGUI* gui) override;
  int activeSlot() override { return valueSlot(); }
  static constexpr int kFrames = 29;
  static constexpr int kKnobPitch = 20;
  static constexpr int kKnobSide = 19;
  static constexpr int kTrackPitch = 27;
  static constexpr int kTrackHeight = 23;

 protected:
  void onPress(iGUI* gui) override;
  bool activates() override { return false; }
  // Stores a dragged value.
  virtual void writeValue(float value);
  virtual int valueSlot() { return 0; }

 private:
  // The look of `value`, composited into `target` at (x, y).
  void compose(Bitmap* target, int x, int y, float value);

  Bitmap* knob_ = nullptr;
  Bitmap* knobMask_ = nullptr;
  Bitmap* track_ = nullptr;
  Bitmap* trackMask_ = nullptr;
  std::unique_ptr<Bitmap> crop_;
  std::unique_ptr<Bitmap> composite_;
  Point last_;
};

// Input pan: five knob lines and the pan forced while the pair is linked ("0" left, "1"
// right). Slots 0 the group (179), per group 2g+1 pan, 2g+2 pair link. Linking forces the
// pan and unlinking gives back the pan the knob had.
class flKnob4 : public flKnob {
 public:
  using flKnob::flKnob;
  void init(const char* const* lines, int count) override;
  void parameterChanged(int slot) override;
  bool isResettable(int slot) override;
  void getName(char* out, int capacity) override;

  int group();
  float rememberedPan(int g) const { return remembered_[static_cast<size_t>(g)]; }

 protected:
  bool takesPresses() override { return ready_ && !linked(group()); }
  int valueSlot() override { return 2 * group() + 1; }

 private:
  bool linked(int g) { return normalised(2 * g + 2) != 0; }

  bool ready_ = false;
  float forced_ = 0;
  std::array<float, 4> remembered_{};
  std::array<bool, 4> wasLinked_{};
};

// Output level, drawn into its flAlphaCanvas. Slots 0 own level, 1-3 the other pairs'
// levels, 4 the output link (24), 5 the pair's follow-knob switch. While the level follows
// the hardware knob it takes no presses; linked, a drag moves all four, and linking lowers
// the own level to the lowest of the four.
class flKnob5 : public flKnob {
 public:
  flKnob5(const LayoutEntry* row, PluginGUI* owner) : flKnob(row, owner) {
    drawsIntoParent_ = true;
  }
  void parameterChanged(int slot) override;
  bool isResettable(int slot) override;

 protected:
  bool takesPresses() override { return !(hasSlot(5) && normalised(5) != 0); }
  void writeValue(float value) override;

 private:
  bool linked() { return normalised(4) != 0; }
};

}  // namespace velmora
