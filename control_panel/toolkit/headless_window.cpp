#include "control_panel/toolkit/headless_window.h"

#include <cstring>

#include "control_panel/toolkit/png_writer.h"

namespace velmora {

bool MemoryClipboard::open() {
  if (refuseOpen || isOpen) return false;
  isOpen = true;
  return true;
}

void MemoryClipboard::empty() {
  if (isOpen) blocks_.clear();
}

bool MemoryClipboard::isFormatAvailable(const std::string& format) {
  return blocks_.count(format) > 0;
}

bool MemoryClipboard::setData(const std::string& format, const void* data, size_t bytes) {
  if (!isOpen) return false;
  const uint8_t* begin = static_cast<const uint8_t*>(data);
  blocks_[format] = bytes > 0 ? std::vector<uint8_t>(begin, begin + bytes) : std::vector<uint8_t>();
  return true;
}

size_t MemoryClipboard::dataSize(const std::string& format) {
  const auto found = blocks_.find(format);
  return found == blocks_.end() ? 0 : found->second.size();
}

const void* MemoryClipboard::data(const std::string& format) {
  const auto found = blocks_.find(format);
  return found == blocks_.end() ? nullptr : found->second.data();
}

int MemoryClipboard::close() {
  if (!isOpen) return 0;
  isOpen = false;
  return 1;
}

HeadlessWindow::HeadlessWindow(int width, int height, int scale)
    : backBuffer_(width, height, scale) {}

void HeadlessWindow::present() {
  ++presentCount;
  if (!presentPath.empty()) writePng(presentPath);
}

void HeadlessWindow::getCursorPos(int* x, int* y) {
  *x = cursor.x;
  *y = cursor.y;
}

bool HeadlessWindow::writePng(const std::string& path) {
  return velmora::writePng(backBuffer_, path);
}

}  // namespace velmora
