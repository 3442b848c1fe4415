// What a drawing context needs from the window it draws into: the back buffer the window
// shows, a way to show it, the mouse and modifier-key state, and the clipboard. The wx window
// implements it in the program; HeadlessWindow implements it without a display.
#pragma once

#include <cstddef>
#include <string>

namespace velmora {

class Bitmap;

// The system clipboard, used like the Windows one: open, act, close. Formats are named.
class Clipboard {
 public:
  virtual ~Clipboard() = default;
  virtual bool open() = 0;
  virtual void empty() = 0;
  virtual bool isFormatAvailable(const std::string& format) = 0;
  virtual bool setData(const std::string& format, const void* data, size_t bytes) = 0;
  virtual size_t dataSize(const std::string& format) = 0;
  // The block of `format` (dataSize bytes), or none.
  virtual const void* data(const std::string& format) = 0;
  // Non-zero on success.
  virtual int close() = 0;
};

class GUIWindow {
 public:
  virtual ~GUIWindow() = default;
  // The pixels of the window's client area; owned by the window.
  virtual Bitmap* backBuffer() = 0;
  // A draw pass has finished: show the back buffer.
  virtual void present() = 0;
  virtual bool isAltDown() = 0;
  virtual bool isShiftDown() = 0;
  virtual bool isControlDown() = 0;
  virtual bool isLeftButtonDown() = 0;
  // The cursor in client coordinates.
  virtual void getCursorPos(int* x, int* y) = 0;
  // None when the window has no clipboard.
  virtual Clipboard* clipboard() = 0;
};

}  // namespace velmora
