#include "control_panel/app/wx_key_code.h"

#include <wx/defs.h>

#include "control_panel/toolkit/i_gui.h"

namespace velmora {

int toolkitKeyCode(int wxKeyCode) {
  switch (wxKeyCode) {
    case WXK_TAB:
      return kKeyTab;
    case WXK_UP:
    case WXK_NUMPAD_UP:
      return kKeyUp;
    case WXK_DOWN:
    case WXK_NUMPAD_DOWN:
      return kKeyDown;
    case WXK_LEFT:
    case WXK_NUMPAD_LEFT:
      return kKeyLeft;
    case WXK_RIGHT:
    case WXK_NUMPAD_RIGHT:
      return kKeyRight;
    case WXK_PAGEUP:
    case WXK_NUMPAD_PAGEUP:
      return kKeyPageUp;
    case WXK_PAGEDOWN:
    case WXK_NUMPAD_PAGEDOWN:
      return kKeyPageDown;
    case WXK_HOME:
    case WXK_NUMPAD_HOME:
      return kKeyHome;
    case WXK_END:
    case WXK_NUMPAD_END:
      return kKeyEnd;
    case WXK_DELETE:
    case WXK_NUMPAD_DELETE:
      return kKeyDelete;
    case WXK_SPACE:
      return ' ';
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER:
      return kKeyReturn;
    case WXK_F2:
      return kKeyF2;
    case WXK_F10:
      return kKeyF10;
    case WXK_MENU:
    case WXK_WINDOWS_MENU:
      return kKeyMenu;
    default:
      return -1;
  }
}

}  // namespace velmora
