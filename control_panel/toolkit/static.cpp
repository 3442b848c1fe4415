#include "control_panel/toolkit/static.h"

#include <cstring>

#include "control_panel/toolkit/i_gui.h"
#include "control_panel/toolkit/plugin_gui.h"
#include "control_panel/toolkit/skin_archive.h"

namespace velmora {
namespace {

// The text a printf format without arguments prints, read safely: "%%" becomes "%", any
// other conversion stays as written. At most `capacity` - 1 characters.
void expandPercents(const char* text, char* out, size_t capacity) {
  size_t n = 0;
  for (; *text != '\0' && n + 1 < capacity; ++text) {
    if (text[0] == '%' && text[1] == '%') ++text;
    out[n++] = *text;
  }
  out[n] = '\0';
}

int justificationOf(const char* keyword) {
  if (std::strncmp(keyword, "JUSTIFY_LEFT", 12) == 0) return Static::kLeft;
  if (std::strncmp(keyword, "JUSTIFY_RIGHT", 13) == 0) return Static::kRight;
  if (std::strncmp(keyword, "JUSTIFY_CENTRE", 14) == 0) return Static::kCentre;
  return Static::kLeft;
}

}  // namespace

void Static::init(const char* const* lines, int count) {
  if (count < 1 || count > 5) return;
  composite_ = std::make_unique<Bitmap>(rect_.width(), rect_.height(), skinScale());
  background_ = std::make_unique<Bitmap>(rect_.width(), rect_.height(), skinScale());
  alpha_ = count >= 4;
  NamedBitmap* glyphs = getNamedBitmap(lines[0]);
  if (alpha_) {
    NamedBitmap* mask = getNamedBitmap(lines[1]);
    if (glyphs != nullptr && mask != nullptr) font_ = std::make_unique<AlphaFont>(glyphs, mask);
    if (NamedBitmap* panel = getNamedBitmap(lines[2])) {
      panel->copyTo(background_.get(), 0, 0, &rect_);
    }
  } else if (glyphs != nullptr) {
    font_ = std::make_unique<Font>(glyphs, 7);
  }
  if (count == 3) justification_ = justificationOf(lines[1]);
  if (count == 5) justification_ = justificationOf(lines[3]);
  if (count >= 2) expandPercents(lines[count - 1], text_, sizeof text_);
  expandPercents(text_, savedText_, sizeof savedText_);
  justify();
}

void Static::justify() {
  const int textWidth = font_ ? font_->textWidth(text_) : 0;
  const int width = rect_.width();
  switch (justification_) {
    case kCentre:
      xOffset_ = (width - textWidth) / 2;
      break;
    case kRight:
      xOffset_ = width - textWidth;
      break;
    default:
      xOffset_ = 0;
      break;
  }
}

void Static::parameterChanged(int slot) {
  if (slot != 0 || owner_ == nullptr) return;
  owner_->getViewText(id_, 0, text_, kMaxLength);
  invalidate();
}

void Static::draw(iGUI* gui) {
  if (font_ && composite_) {
    if (alpha_) {
      background_->copyTo(composite_.get(), 0, 0, nullptr);
    } else {
      composite_->fill(0);
    }
    font_->drawString(composite_.get(), xOffset_, 0, text_);
    gui->drawBitmap(composite_.get(), &rect_, nullptr);
  }
  View::draw(gui);
}

void Static::setText(const char* text) {
  if (text == nullptr) text = "";
  std::strncpy(text_, text, kMaxLength);
  text_[kMaxLength] = '\0';
  justify();
  invalidate();
}

void Static::setSavedText(const char* text) {
  if (text == nullptr) text = "";
  std::strncpy(savedText_, text, kMaxLength);
  savedText_[kMaxLength] = '\0';
}

const char* Static::getSavedText() {
  return savedText_;
}

}  // namespace velmora
