// The lamps: status lamps, input lamps, the playback selector lamp, and the radio lamps of
// the sample rate and the clock source. Lamps that show a state only take no mouse at all,
// the reset gesture included.
//
// flLockDisplay: a lamp lit while its parameter is not 0 (in use, locked).
// flSyncButton: a lamp that shows a setting on or off in a button's look.
// flADATButton: the lamp of an ADAT input, covered while the input is not available.
// flFXLed: the playback selector lamp; a click switches it.
// flRateLed: the lamp of one sample rate; a click selects the rate.
// flExtLed: the lamp of a sample rate only the larger model has.
// flExtLed2: the lamp of one clock source; a click selects the source.
#pragma once

#include <memory>

#include "control_panel/panels/panel_widget.h"

namespace velmora {

// Lit image, background: lit while slot 0 is not 0.
class flLockDisplay : public PanelWidget {
 public:
  using PanelWidget::PanelWidget;
  void init(const char* const* lines, int count) override;
  void parameterChanged(int slot) override;
  void draw(iGUI* gui) override;
  bool isResettable(int) override { return false; }

 protected:
  bool takesPresses() override { return false; }

 private:
  std::unique_ptr<Bitmap> off_;
  std::unique_ptr<Bitmap> lit_;
};

// The images of flButton; shows slot 0 on or off.
class flSyncButton : public PanelWidget {
 public:
  using PanelWidget::PanelWidget;
  void init(const char* const* lines, int count) override;
  void parameterChanged(int slot) override;
  void draw(iGUI* gui) override;
  bool isResettable(int) override { return false; }

 protected:
  bool takesPresses() override { return false; }
  virtual Bitmap* currentLook();

  std::unique_ptr<Bitmap> off_;
  std::unique_ptr<Bitmap> on_;
};

// Slots 0 an input's enable (47 or 48), 1 its availability (49 or 50); arguments image, mask,
// background, cover, cover mask. The enable follows the availability; unavailable, the lamp
// is covered.
class flADATButton : public flSyncButton {
 public:
  using flSyncButton::flSyncButton;
  void init(const char* const* lines, int count) override;
  void parameterChanged(int slot) override;

 protected:
  Bitmap* currentLook() override;

 private:
  std::unique_ptr<Bitmap> covered_;
};

// The playback selector lamp: image 1, image 2, mask 1, mask 2, background. Shows image 1
// while trunc(real slot 0) > 0, else image 2; a click flips slot 0.
class flFXLed : public PanelWidget {
 public:
  using PanelWidget::PanelWidget;
  void init(const char* const* lines, int count) override;
  void parameterChanged(int slot) override;
  void draw(iGUI* gui) override;

 protected:
  void onReleaseInside(iGUI* gui) override;

 private:
  std::unique_ptr<Bitmap> first_;
  std::unique_ptr<Bitmap> second_;
};

// What the three radio lamps share: the lamp number n they stand for, and mouse hits only
// inside their rectangle less 2 pixels at the top and 3 at the bottom (neighbouring lamps
// overlap).
class flRadioLamp : public PanelWidget {
 public:
  using PanelWidget::PanelWidget;
  bool contains(int x, int y) override;
  void parameterChanged(int slot) override;
  int number() const { return number_; }

  static constexpr int kTopInset = 2;
  static constexpr int kBottomInset = 3;

 protected:
  // Whether the lamp takes presses now.
  virtual bool enabled() = 0;
  bool takesPresses() override { return enabled(); }
  // A press selects the lamp.
  void onPress(iGUI* gui) override;
  bool isSelected() { return static_cast<int>(real(0)) == number_; }

  int number_ = 0;
};

// One sample rate: lit image, grey image, background, mask, n. Slots 0 the rate (41), 1 in
// use (44, not shown), 2 (optional) an enable while above 0, greyed otherwise.
class flRateLed : public flRadioLamp {
 public:
  using flRadioLamp::flRadioLamp;
  void init(const char* const* lines, int count) override;
  void draw(iGUI* gui) override;

 protected:
  bool enabled() override { return !hasSlot(2) || real(2) > 0; }

 private:
  std::unique_ptr<Bitmap> off_;
  std::unique_ptr<Bitmap> lit_;
  std::unique_ptr<Bitmap> grey_;
};

// A sample rate only the larger model has: lit image, cover, cover mask, background, lit
// mask, n. Slots 0 the rate, 1 in use, 2 larger model (180). Without the larger model the
// lamp is covered, and its rate is not kept: the rate goes back to the first one.
class flExtLed : public flRadioLamp {
 public:
  using flRadioLamp::flRadioLamp;
  void init(const char* const* lines, int count) override;
  void parameterChanged(int slot) override;
  void draw(iGUI* gui) override;

 protected:
  bool enabled() override { return real(2) > 0; }

 private:
  std::unique_ptr<Bitmap> off_;
  std::unique_ptr<Bitmap> lit_;
  std::unique_ptr<Bitmap> covered_;
};

// One clock source: target image, label cover, label mask, background, lit mask,
// current-source image, n. Slots 0 selected source (42), 1 lock (45), 2 enable condition,
// 3 source in use (43). Without its condition the lamp's label is covered and a selection
// of it goes back to the internal clock.
class flExtLed2 : public flRadioLamp {
 public:
  using flRadioLamp::flRadioLamp;
  void init(const char* const* lines, int count) override;
  void parameterChanged(int slot) override;
  void draw(iGUI* gui) override;

 protected:
  bool enabled() override { return real(2) > 0; }

 private:
  std::unique_ptr<Bitmap> off_;
  std::unique_ptr<Bitmap> target_;
  std::unique_ptr<Bitmap> current_;
  std::unique_ptr<Bitmap> covered_;
};

}  // namespace velmora
