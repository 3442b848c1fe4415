#include "control_panel/toolkit/i_gui.h"

namespace velmora {

void iGUI::frameRect(int x, int y, int w, int h) {
  const Rect rect{x, x + w, y, y + h};
  frameRect(&rect);
}

void iGUI::fillRect(int x, int y, int w, int h) {
  const Rect rect{x, x + w, y, y + h};
  fillRect(&rect);
}

void iGUI::drawCrossedBox(const Rect* rect) {
  fillRect(rect);
  frameRect(rect);
  drawLine(rect->left, rect->top, rect->right - 1, rect->bottom - 1);
  drawLine(rect->left, rect->bottom - 1, rect->right - 1, rect->top);
}

void iGUI::drawHandleBox(const Rect* rect) {
  fillRect(rect);
  frameRect(rect);
  const int mx = (rect->left + rect->right) / 2 - 5, my = (rect->top + rect->bottom) / 2 - 5;
  const Point corners[] = {
      {rect->left, rect->top},
      {rect->right - 10, rect->top},
      {rect->left, rect->bottom - 10},
      {rect->right - 10, rect->bottom - 10},
      {rect->left, my},
      {rect->right - 10, my},
      {mx, rect->top},
      {mx, rect->bottom - 10},
  };
  for (const Point& p : corners) frameRect(p.x, p.y, 10, 10);
}

}  // namespace velmora
