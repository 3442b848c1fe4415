// "TextBox": a single-line text field in a 5-pixel-wide bitmap font. A click toggles the focus;
// while focused it edits its own text (caret keys, backspace, delete, printable characters up
// to 255) and shows black on white. It never writes the parameter: Enter drops the focus,
// Escape drops it and reloads the parameter's text.
//
// TextBox: the toolkit's one-line text field.
#pragma once

#include <memory>

#include "control_panel/toolkit/font.h"
#include "control_panel/toolkit/named_bitmap.h"
#include "control_panel/toolkit/view.h"

namespace velmora {

class TextBox : public View {
 public:
  using View::View;

  static constexpr int kMaxLength = 255;

  // Exactly one line: the glyph grid image.
  void init(const char* const* lines, int count) override;
  void onMouseButton(int x, int y, int reserved, bool down, iGUI* gui) override;
  // Reloads the parameter's text unless the user is editing.
  void parameterChanged(int slot) override;
  void onKey(int key, int reserved, iGUI* gui) override;
  void draw(iGUI* gui) override;
  void setFocus(bool focus) override;

  const char* text() const { return text_; }
  int caret() const { return caret_; }
  int length() const { return length_; }

 protected:
  char text_[kMaxLength + 1] = {};
  int caret_ = 0;
  int length_ = 0;
  std::unique_ptr<Font> font_;
  NamedBitmap* fontImage_ = nullptr;  // shared, not owned
  std::unique_ptr<Bitmap> composite_;
};

}  // namespace velmora
