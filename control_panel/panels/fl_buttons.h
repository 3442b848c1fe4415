// The toggle buttons: flButton and the members of its family that act on linked output
// pairs, on the selected input mix group, on a group tab, or only on the larger model.
//
// flButton: an on/off button for one parameter.
// flButton3: an on/off button for one function of an output pair, of all four pairs when linked.
// flAlphaButton: an flButton drawn into its flAlphaCanvas.
// flAlphaButton3: an flButton3 drawn into its flAlphaCanvas.
// flIsStudioButton: a switch only the larger model has, covered on the smaller one.
// flInputButton: an input button (solo, mute, ...) acting on the selected input mix group.
// flInputMixTabButton: a tab that selects one of the four input mix groups.
#pragma once

#include <memory>

#include "control_panel/panels/panel_widget.h"

namespace velmora {

// Arguments image, mask, background (the on-look blends the image through the mask onto the
// background crop) or image, background (the image copied over the crop). The off-look is
// the crop. A release inside toggles slot 0 between 0 and 1. While pressed the button shows
// the look a release would give.
class flButton : public PanelWidget {
 public:
  using PanelWidget::PanelWidget;
  void init(const char* const* lines, int count) override;
  void parameterChanged(int slot) override;
  void draw(iGUI* gui) override;

 protected:
  void onReleaseInside(iGUI* gui) override;
  // The slot the button shows and toggles (slot 0 unless the class switches groups).
  int activeSlot() override { return 0; }
  // The look of the shown value, or of the toggled value while a release would toggle.
  virtual Bitmap* currentLook();
  // Builds the on- and off-looks from the image, mask (-1: none) and background lines.
  void prepareLooks(const char* const* lines, int count, int image, int mask, int background);

  std::unique_ptr<Bitmap> off_;
  std::unique_ptr<Bitmap> on_;
};

// Slots 0-3 the same function of the four output pairs (own pair first), 4 the output link
// (a sixth id is ignored). Linked, a release writes all four and the others' changes show;
// linking makes all four on when any was on, else off.
class flButton3 : public flButton {
 public:
  using flButton::flButton;
  void parameterChanged(int slot) override;
  bool isResettable(int slot) override;

 protected:
  void onReleaseInside(iGUI* gui) override;
  bool linked() { return normalised(kLinkSlot) != 0; }
  static constexpr int kLinkSlot = 4;
};

// flButton drawn into the parent flAlphaCanvas.
class flAlphaButton : public flButton {
 public:
  flAlphaButton(const LayoutEntry* row, PluginGUI* owner) : flButton(row, owner) {
    drawsIntoParent_ = true;
  }
};

// flButton3 drawn into the parent flAlphaCanvas.
class flAlphaButton3 : public flButton3 {
 public:
  flAlphaButton3(const LayoutEntry* row, PluginGUI* owner) : flButton3(row, owner) {
    drawsIntoParent_ = true;
  }
};

// A switch only the larger model has. Slots 0 the value, 1 the larger-model flag (180);
// arguments image, mask, background, cover, cover mask. Without the larger model the button
// is covered, ignores presses and holds its value at 0.
class flIsStudioButton : public flButton {
 public:
  using flButton::flButton;
  void init(const char* const* lines, int count) override;
  void parameterChanged(int slot) override;
  bool isEnabled() const { return enabled_; }

 protected:
  bool takesPresses() override { return enabled_; }
  Bitmap* currentLook() override;

 private:
  std::unique_ptr<Bitmap> covered_;
  bool enabled_ = true;
};

// Slot 0 the input mix group (179), slots 1-4 the function for groups 0-3: shows and toggles
// the function of the selected group.
class flInputButton : public flButton {
 public:
  using flButton::flButton;
  void parameterChanged(int slot) override;
  void getName(char* out, int capacity) override;
  bool isResettable(int slot) override { return slot == activeSlot(); }

 protected:
  int activeSlot() override;
};

// A group tab: slot 0 the group (179), slot 1 (optional) the enable of the group's input
// type; arguments on-image, disabled image, background, the group number n. A release
// inside selects group n; a disabled tab ignores presses, and disabling the selected group
// returns the mixer to the analogue group.
class flInputMixTabButton : public flButton {
 public:
  using flButton::flButton;
  void init(const char* const* lines, int count) override;
  void parameterChanged(int slot) override;
  int group() const { return group_; }

 protected:
  bool takesPresses() override { return !disabled(); }
  void onReleaseInside(iGUI* gui) override;
  Bitmap* currentLook() override;

 private:
  bool disabled() { return hasSlot(1) && normalised(1) == 0; }
  bool selected() { return static_cast<int>(real(0)) == group_; }

  std::unique_ptr<Bitmap> disabledLook_;
  int group_ = 0;
};

}  // namespace velmora
