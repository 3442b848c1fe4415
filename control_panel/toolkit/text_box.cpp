#include "control_panel/toolkit/text_box.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "control_panel/toolkit/i_gui.h"
#include "control_panel/toolkit/plugin_gui.h"

namespace velmora {

void TextBox::init(const char* const* lines, int count) {
  if (count != 1) return;
  fontImage_ = getNamedBitmap(lines[0]);
  if (fontImage_ == nullptr) return;
  font_ = std::make_unique<Font>(fontImage_, 5);
  composite_ = std::make_unique<Bitmap>(rect_.width(), rect_.height(), fontImage_->scale());
  std::snprintf(text_, sizeof text_, "Val=%f", 0.0);
  length_ = static_cast<int>(std::strlen(text_));
  caret_ = 0;
}

void TextBox::onMouseButton(int, int, int, bool down, iGUI*) {
  if (down) setFocus(!hasFocus());
}

void TextBox::setFocus(bool focus) {
  View::setFocus(focus);
}

void TextBox::parameterChanged(int slot) {
  if (slot != 0 || focus_ || owner_ == nullptr) return;
  // One less than the buffer: the formatted text's capacity excludes its terminator.
  owner_->getViewText(id_, 0, text_, kMaxLength);
  length_ = static_cast<int>(strnlen(text_, kMaxLength));
  caret_ = std::min(caret_, length_);
  invalidate();
}

void TextBox::onKey(int key, int, iGUI* gui) {
  const bool jump = gui != nullptr && (gui->isControlDown() || gui->isAltDown());
  switch (key) {
    case kKeyBackspace:
      if (caret_ > 0) {
        --caret_;
        std::memmove(text_ + caret_, text_ + caret_ + 1, static_cast<size_t>(length_ - caret_));
        --length_;
      }
      break;
    case kKeyDelete:
      if (caret_ < length_) {
        std::memmove(text_ + caret_, text_ + caret_ + 1, static_cast<size_t>(length_ - caret_));
        --length_;
      }
      break;
    case kKeyLeft:
      caret_ = jump ? 0 : std::max(caret_ - 1, 0);
      break;
    case kKeyRight:
      if (jump) {
        caret_ = length_;
      } else if (caret_ < length_) {
        ++caret_;
      }
      break;
    case kKeyHome:
      caret_ = 0;
      break;
    case kKeyEnd:
      caret_ = length_;
      break;
    case kKeyNewline:
    case kKeyReturn:
      setFocus(false);
      break;
    case kKeyEscape:
      focus_ = false;
      parameterChanged(0);
      setFocus(false);
      break;
    default:
      if (key >= 32 && key <= 126 && length_ < kMaxLength) {
        std::memmove(text_ + caret_ + 1, text_ + caret_, static_cast<size_t>(length_ - caret_ + 1));
        text_[caret_] = static_cast<char>(key);
        ++caret_;
        ++length_;
      }
      break;
  }
  invalidate();
}

void TextBox::draw(iGUI* gui) {
  if (font_ && composite_) {
    const uint32_t paper = focus_ ? 0xFFFFFF : 0, ink = focus_ ? 0 : 0xFFFFFF;
    composite_->fill(static_cast<int32_t>(paper));
    char beforeCaret[kMaxLength + 1] = {};
    std::memcpy(beforeCaret, text_, static_cast<size_t>(caret_));
    const int offset = font_->textWidth(beforeCaret);
    font_->drawStringTinted(composite_.get(), 0, 0, text_, ink, paper, 1.0f);
    gui->drawBitmap(composite_.get(), &rect_, nullptr);
    gui->drawLine(rect_.left + offset - 1, rect_.top, rect_.left + offset - 1, rect_.bottom);
  }
  View::draw(gui);
}

}  // namespace velmora
