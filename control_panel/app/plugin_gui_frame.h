// A frame that shows one skinned layout: it owns the layout's drawing context, turns window
// events into the layout's entry points, polls drags and redraws from idle time, runs the
// 100 ms timer, and shows the hovered or last changed control's name and value as its tool
// tip and on its status line. Keys and the wheel go to the layout, which decides what they do.
//
// wxPluginGUIFrame: a window that shows one skinned layout, the base of the main windows.
#pragma once

#include <wx/frame.h>
#include <wx/timer.h>

#include <memory>
#include <optional>
#include <string>

#include "control_panel/app/wx_surface.h"
#include "control_panel/toolkit/gui.h"
#include "control_panel/toolkit/plugin_gui.h"

namespace velmora {

class View;

class wxPluginGUIFrame : public wxFrame {
 public:
  wxPluginGUIFrame(wxWindow* parent, wxWindowID id, const wxString& title, long style,
                   bool closable);
  ~wxPluginGUIFrame() override;

  virtual void setPluginGUI(PluginGUI* gui);
  virtual PluginGUI* getPluginGUI();
  virtual void layoutPluginGUI();
  virtual void onTimerTick();

  void onViewMouseOver(View* view);
  // The name and value of a control, as tool tip and (with a status bar) status text.
  void showReadout(const std::string& text);

  // The window the layout draws in (a child that fills the client area and takes the
  // keyboard focus).
  wxWindow* canvas() const { return canvas_; }
  WxSurface& surface() { return *surface_; }
  GUI& drawingContext() { return *gui_; }
  bool closable() const { return closable_; }
  // Shows the panel at ×zoom (1 to 3) and sizes the frame to it.
  void setZoom(int zoom);
  int zoom() const { return surface_->zoom(); }
  // Where a menu opened from the keyboard belongs: below the control the key pressed, in the
  // frame's client coordinates. None when the mouse was used last.
  std::optional<wxPoint> keyboardMenuAnchor();
  // Tells the frame that the user's last input came from the keyboard.
  void noteKeyboardInput() { keyboardLast_ = true; }

 protected:
  void onIdle(wxIdleEvent& event);
  void onLeftButton(wxMouseEvent& event);
  void onMotion(wxMouseEvent& event);
  void onPaint(wxPaintEvent& event);
  void onContextMenu(wxContextMenuEvent& event);
  void onTimer(wxTimerEvent& event);
  void onClose(wxCloseEvent& event);
  void onKeyDown(wxKeyEvent& event);
  void onWheel(wxMouseEvent& event);
  void onFocus(wxFocusEvent& event);

  PluginGUI* layout_ = nullptr;

 private:
  void detachLayout();

  wxWindow* canvas_;
  std::unique_ptr<WxSurface> surface_;
  std::unique_ptr<GUI> gui_;
  wxTimer timer_;
  bool closable_;
  bool keyboardLast_ = false;
};

}  // namespace velmora
