// The drawing context views draw through and ask about the mouse and the keyboard. A window
// implements it (GUI draws in software into the window's back buffer); views never draw to
// a window directly.
//
// Drawing happens only between beginDraw() and endDraw(); outside a draw pass every drawing
// call does nothing. The pass is not re-entrant: views must not start their own.
//
// iGUI: the drawing context as views see it.
#pragma once

#include "control_panel/toolkit/rect.h"

namespace velmora {

class Bitmap;

// Key codes of the toolkit; the hosting window translates platform keys into them. Printable
// characters are their codes (32…126).
enum : int {
  kKeyBackspace = 8,
  kKeyTab = 9,
  kKeyNewline = 10,
  kKeyReturn = 13,
  kKeyLeft = 14,
  kKeyRight = 15,
  kKeyHome = 16,
  kKeyEnd = 17,
  kKeyUp = 18,
  kKeyDown = 19,
  kKeyPageUp = 20,
  kKeyPageDown = 21,
  kKeyF2 = 22,
  kKeyF10 = 23,   // with Shift: the focused control's menu
  kKeyMenu = 24,  // the keyboard's menu key
  kKeyEscape = 27,
  kKeyDelete = 127,
};

class iGUI {
 public:
  virtual ~iGUI() = default;
  virtual bool isAltDown() = 0;
  virtual bool isShiftDown() = 0;
  virtual bool isControlDown() = 0;
  virtual bool isLeftButtonDown() = 0;
  // The cursor in the window's client coordinates.
  virtual void getCursorPos(int* x, int* y) = 0;
  virtual void beginDraw() = 0;
  virtual void endDraw() = 0;
  // Inside a draw pass: everything drawn until endOffscreen lands in `bitmap`.
  virtual void beginOffscreen(Bitmap* bitmap, int dx, int dy) = 0;
  virtual void endOffscreen(Bitmap* bitmap, int dx, int dy) = 0;
  // Copies `bitmap` from `src` (top left when none) into `dst`, moved by the drawing origin.
  virtual void drawBitmap(Bitmap* bitmap, const Rect* dst, const Point* src) = 0;
  virtual void frameRect(int x, int y, int w, int h);
  // A one-pixel black outline. This, fillRect and drawLine ignore the drawing origin.
  virtual void frameRect(const Rect* rect) = 0;
  virtual void fillRect(int x, int y, int w, int h);
  // Filled white.
  virtual void fillRect(const Rect* rect) = 0;
  // A black line from the first point up to, not including, the second.
  virtual void drawLine(int x1, int y1, int x2, int y2) = 0;
  // The clipboard, in a format named by the four bytes of `formatCode` (least significant
  // first). Results are 0 on failure.
  virtual int clipboardPut(const void* data, int bytes, int formatCode) = 0;
  virtual int clipboardSize(int formatCode) = 0;
  // Copies the whole block: `data` must hold clipboardSize(formatCode) bytes.
  virtual int clipboardGet(void* data, int formatCode) = 0;
  // White box, black outline, both diagonals.
  virtual void drawCrossedBox(const Rect* rect);
  // White box, black outline, and eight 10 × 10 handles on its corners and edges.
  virtual void drawHandleBox(const Rect* rect);
};

}  // namespace velmora
