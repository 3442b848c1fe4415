// "Static": a text label in a bitmap font. The number of argument lines selects the kind:
//   2  font, text                                 black background, left
//   3  font, justification, text                  black background
//   4  font, mask, background image, text         the background under the label, left
//   5  font, mask, background image, justification, text
// Justification keywords: "JUSTIFY_LEFT", "JUSTIFY_CENTRE", "JUSTIFY_RIGHT". The text is the
// last line with "%%" read as "%". With one line the text is empty; with none or more than
// five the label draws nothing.
//
// Static: the toolkit's text label.
#pragma once

#include <memory>

#include "control_panel/toolkit/bitmap.h"
#include "control_panel/toolkit/font.h"
#include "control_panel/toolkit/view.h"

namespace velmora {

class Static : public View {
 public:
  using View::View;

  static constexpr int kMaxLength = 255;
  enum Justification { kLeft = 0, kCentre = 1, kRight = 2 };

  void init(const char* const* lines, int count) override;
  // Shows the parameter's text (the position is not recomputed).
  void parameterChanged(int slot) override;
  void draw(iGUI* gui) override;
  // Shows `text`, justified again.
  virtual void setText(const char* text);
  // A second text the label keeps for its user; never drawn.
  virtual void setSavedText(const char* text);
  virtual const char* getSavedText();

  const char* text() const { return text_; }
  int textOffset() const { return xOffset_; }
  int justification() const { return justification_; }

 protected:
  void justify();

  char text_[kMaxLength + 1] = {};
  char savedText_[kMaxLength + 1] = {};
  std::unique_ptr<Font> font_;
  std::unique_ptr<Bitmap> composite_;
  std::unique_ptr<Bitmap> background_;
  bool alpha_ = false;
  int justification_ = kLeft;
  int xOffset_ = 0;
};

}  // namespace velmora
