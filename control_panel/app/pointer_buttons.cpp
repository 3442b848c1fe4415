#include "control_panel/app/pointer_buttons.h"

#include <wx/utils.h>

#if defined(__WXGTK__) && defined(__UNIX__)
#include <X11/Xlib.h>
#endif

namespace velmora {
namespace {

// Set by a press on a panel, cleared once the button is seen up. The GUI thread's alone.
bool pressNoted = false;

bool askLeftButton() {
#if defined(__WXGTK__) && defined(__UNIX__)
  // wxGetMouseState waits on the X server three times (the client pointer, its position, its
  // state); the buttons of the core pointer take one question.
  // The display stays the program's for its life; asking wx for it every pass costs a share.
  static const wxDisplayInfo display = wxGetDisplayInfo();
  if (display.type == wxDisplayX11 && display.dpy != nullptr) {
    Display* x = static_cast<Display*>(display.dpy);
    Window root = 0;
    Window child = 0;
    int rootX = 0, rootY = 0, windowX = 0, windowY = 0;
    unsigned int buttons = 0;
    // The buttons come back even when the pointer is on another screen.
    XQueryPointer(x, DefaultRootWindow(x), &root, &child, &rootX, &rootY, &windowX, &windowY,
                  &buttons);
    return (buttons & Button1Mask) != 0;
  }
#endif
  return wxGetMouseState().LeftIsDown();
}

}  // namespace

void noteLeftButtonPress() {
  pressNoted = true;
}

bool leftButtonIsDown() {
  if (!pressNoted) return false;
  pressNoted = askLeftButton();
  return pressNoted;
}

}  // namespace velmora
