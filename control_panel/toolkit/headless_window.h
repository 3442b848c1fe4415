// A window without a display: a back buffer in memory, input state set by its user (tests,
// tools), an in-memory clipboard, and the back buffer written to a PNG file on request or
// after every draw pass.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "control_panel/toolkit/bitmap.h"
#include "control_panel/toolkit/gui_window.h"

namespace velmora {

class MemoryClipboard : public Clipboard {
 public:
  bool open() override;
  void empty() override;
  bool isFormatAvailable(const std::string& format) override;
  bool setData(const std::string& format, const void* data, size_t bytes) override;
  size_t dataSize(const std::string& format) override;
  const void* data(const std::string& format) override;
  int close() override;

  bool refuseOpen = false;  // another program holds the clipboard
  bool isOpen = false;

 private:
  std::map<std::string, std::vector<uint8_t>> blocks_;
};

class HeadlessWindow : public GUIWindow {
 public:
  // A back buffer of width × height panel pixels, `scale` pixels per panel pixel.
  HeadlessWindow(int width, int height, int scale = 1);

  Bitmap* backBuffer() override { return &backBuffer_; }
  void present() override;
  bool isAltDown() override { return alt; }
  bool isShiftDown() override { return shift; }
  bool isControlDown() override { return control; }
  bool isLeftButtonDown() override { return leftButton; }
  void getCursorPos(int* x, int* y) override;
  Clipboard* clipboard() override { return &clipboard_; }

  // Writes the back buffer as a PNG file (at its scale).
  bool writePng(const std::string& path);

  bool alt = false;
  bool shift = false;
  bool control = false;
  bool leftButton = false;
  Point cursor;
  int presentCount = 0;
  // When set, every present() writes the back buffer there.
  std::string presentPath;

 private:
  Bitmap backBuffer_;
  MemoryClipboard clipboard_;
};

}  // namespace velmora
