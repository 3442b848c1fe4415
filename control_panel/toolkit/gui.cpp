#include "control_panel/toolkit/gui.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "control_panel/toolkit/bitmap.h"

namespace velmora {
namespace {

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kWhite = 0xFFFFFF;

// A clipboard format is registered by the name made of the four bytes of its code, least
// significant first.
std::string formatName(int formatCode) {
  char name[5] = {};
  const uint32_t code = static_cast<uint32_t>(formatCode);
  for (int i = 0; i < 4; ++i) name[i] = static_cast<char>(code >> (8 * i));
  return std::string(name);
}

}  // namespace

GUI::GUI(GUIWindow* window) : window_(window) {}

GUI::~GUI() = default;

bool GUI::isAltDown() {
  return window_ != nullptr && window_->isAltDown();
}

bool GUI::isShiftDown() {
  return window_ != nullptr && window_->isShiftDown();
}

bool GUI::isControlDown() {
  return window_ != nullptr && window_->isControlDown();
}

bool GUI::isLeftButtonDown() {
  return window_ != nullptr && window_->isLeftButtonDown();
}

void GUI::getCursorPos(int* x, int* y) {
  *x = 0;
  *y = 0;
  if (window_ != nullptr) window_->getCursorPos(x, y);
}

void GUI::beginDraw() {
  if (!stack_.empty() || window_ == nullptr) return;
  current_ = window_->backBuffer();
  stack_.push_back({current_, true});
}

void GUI::endDraw() {
  if (stack_.empty()) return;
  const bool isWindow = stack_.back().isWindow;
  current_ = nullptr;
  stack_.pop_back();
  if (isWindow) window_->present();
}

void GUI::beginOffscreen(Bitmap* bitmap, int dx, int dy) {
  if (current_ == nullptr) return;
  origin_.x += dx;
  origin_.y += dy;
  stack_.push_back({bitmap, false});
  current_ = bitmap;
}

void GUI::endOffscreen(Bitmap*, int dx, int dy) {
  if (stack_.empty()) return;
  origin_.x -= dx;
  origin_.y -= dy;
  stack_.pop_back();
  current_ = stack_.empty() ? nullptr : stack_.back().target;
}

void GUI::drawBitmap(Bitmap* bitmap, const Rect* dst, const Point* src) {
  if (current_ == nullptr || bitmap == nullptr || dst == nullptr) return;
  const Point from = src != nullptr ? *src : Point{};
  const Rect area{from.x, from.x + dst->width(), from.y, from.y + dst->height()};
  bitmap->copyTo(current_, dst->left + origin_.x, dst->top + origin_.y, &area);
}

void GUI::frameRect(const Rect* rect) {
  if (current_ == nullptr || rect == nullptr || rect->right <= rect->left ||
      rect->bottom <= rect->top) {
    return;
  }
  for (int x = rect->left; x < rect->right; ++x) {
    current_->setPixel(x, rect->top, kBlack);
    current_->setPixel(x, rect->bottom - 1, kBlack);
  }
  for (int y = rect->top; y < rect->bottom; ++y) {
    current_->setPixel(rect->left, y, kBlack);
    current_->setPixel(rect->right - 1, y, kBlack);
  }
  current_->pixelsChanged();
}

void GUI::fillRect(const Rect* rect) {
  if (current_ == nullptr || rect == nullptr) return;
  const int left = std::max(rect->left, 0), right = std::min(rect->right, current_->width());
  const int top = std::max(rect->top, 0), bottom = std::min(rect->bottom, current_->height());
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x) current_->setPixel(x, y, kWhite);
  }
  current_->pixelsChanged();
}

void GUI::drawLine(int x1, int y1, int x2, int y2) {
  if (current_ == nullptr) return;
  if (std::max(x1, x2) < 0 || std::max(y1, y2) < 0 || std::min(x1, x2) >= current_->width() ||
      std::min(y1, y2) >= current_->height()) {
    return;  // nowhere near the target
  }
  // Bresenham, the last point left out as a pen line leaves it.
  const int64_t dx = std::abs(int64_t{x2} - x1), dy = -std::abs(int64_t{y2} - y1);
  const int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
  int64_t error = dx + dy, x = x1, y = y1;
  const int64_t steps = std::max(dx, -dy);
  for (int64_t i = 0; i < steps; ++i) {
    if (x >= 0 && y >= 0 && x < current_->width() && y < current_->height()) {
      current_->setPixel(static_cast<int>(x), static_cast<int>(y), kBlack);
    }
    const int64_t twice = 2 * error;
    if (twice >= dy) error += dy, x += sx;
    if (twice <= dx) error += dx, y += sy;
  }
  current_->pixelsChanged();
}

int GUI::clipboardPut(const void* data, int bytes, int formatCode) {
  Clipboard* clipboard = window_ != nullptr ? window_->clipboard() : nullptr;
  if (clipboard == nullptr || !clipboard->open()) return 0;
  clipboard->empty();
  clipboard->setData(formatName(formatCode), data, bytes > 0 ? static_cast<size_t>(bytes) : 0);
  return clipboard->close();
}

int GUI::clipboardSize(int formatCode) {
  Clipboard* clipboard = window_ != nullptr ? window_->clipboard() : nullptr;
  const std::string name = formatName(formatCode);
  if (clipboard == nullptr || !clipboard->isFormatAvailable(name) || !clipboard->open()) return 0;
  const size_t size = clipboard->dataSize(name);
  clipboard->close();
  return static_cast<int>(size);
}

int GUI::clipboardGet(void* data, int formatCode) {
  Clipboard* clipboard = window_ != nullptr ? window_->clipboard() : nullptr;
  const std::string name = formatName(formatCode);
  if (clipboard == nullptr || !clipboard->isFormatAvailable(name) || !clipboard->open()) return 0;
  if (const void* block = clipboard->data(name)) {
    std::memcpy(data, block, clipboard->dataSize(name));
  }
  return clipboard->close();
}

}  // namespace velmora
