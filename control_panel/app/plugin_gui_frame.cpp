#include "control_panel/app/plugin_gui_frame.h"

#include <wx/dcclient.h>
#include <wx/tooltip.h>

#include "control_panel/app/first_paint_stamp.h"
#include "control_panel/app/pointer_buttons.h"
#include "control_panel/app/wx_key_code.h"
#include "control_panel/toolkit/view.h"

namespace velmora {
namespace {

constexpr int kTimerId = 1;
constexpr int kTimerPeriodMs = 100;
constexpr int kToolTipCapacity = 256;

}  // namespace

wxPluginGUIFrame::wxPluginGUIFrame(wxWindow* parent, wxWindowID id, const wxString& title,
                                   long style, bool closable)
    : wxFrame(parent, id, title, wxDefaultPosition, wxDefaultSize, style, "frame"),
      canvas_(new wxWindow(this, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                           wxWANTS_CHARS | wxFULL_REPAINT_ON_RESIZE)),
      surface_(std::make_unique<WxSurface>(canvas_)),
      gui_(std::make_unique<GUI>(surface_.get())),
      timer_(this, kTimerId),
      closable_(closable) {
  canvas_->SetBackgroundStyle(wxBG_STYLE_PAINT);
  Bind(wxEVT_IDLE, &wxPluginGUIFrame::onIdle, this);
  canvas_->Bind(wxEVT_LEFT_DOWN, &wxPluginGUIFrame::onLeftButton, this);
  canvas_->Bind(wxEVT_LEFT_UP, &wxPluginGUIFrame::onLeftButton, this);
  canvas_->Bind(wxEVT_LEFT_DCLICK, &wxPluginGUIFrame::onLeftButton, this);
  canvas_->Bind(wxEVT_MOTION, &wxPluginGUIFrame::onMotion, this);
  canvas_->Bind(wxEVT_PAINT, &wxPluginGUIFrame::onPaint, this);
  canvas_->Bind(wxEVT_CONTEXT_MENU, &wxPluginGUIFrame::onContextMenu, this);
  Bind(wxEVT_CONTEXT_MENU, &wxPluginGUIFrame::onContextMenu, this);
  canvas_->Bind(wxEVT_KEY_DOWN, &wxPluginGUIFrame::onKeyDown, this);
  canvas_->Bind(wxEVT_MOUSEWHEEL, &wxPluginGUIFrame::onWheel, this);
  canvas_->Bind(wxEVT_SET_FOCUS, &wxPluginGUIFrame::onFocus, this);
  canvas_->Bind(wxEVT_KILL_FOCUS, &wxPluginGUIFrame::onFocus, this);
  Bind(wxEVT_TIMER, &wxPluginGUIFrame::onTimer, this, kTimerId);
  Bind(wxEVT_CLOSE_WINDOW, &wxPluginGUIFrame::onClose, this);
  timer_.Start(kTimerPeriodMs);
}

wxPluginGUIFrame::~wxPluginGUIFrame() {
  // The canvas loses the focus while the frame is torn down, after this part of it is gone.
  canvas_->Unbind(wxEVT_SET_FOCUS, &wxPluginGUIFrame::onFocus, this);
  canvas_->Unbind(wxEVT_KILL_FOCUS, &wxPluginGUIFrame::onFocus, this);
  timer_.Stop();
  detachLayout();
}

void wxPluginGUIFrame::detachLayout() {
  if (layout_ == nullptr) return;
  layout_->setKeyboardFocus(false);
  layout_->setGUI(nullptr);
  layout_->refreshAll();
}

void wxPluginGUIFrame::setPluginGUI(PluginGUI* gui) {
  if (layout_ != nullptr) {
    detachLayout();
  } else {
    wxToolTip::Enable(false);
  }
  layout_ = gui;
  layoutPluginGUI();
}

PluginGUI* wxPluginGUIFrame::getPluginGUI() {
  return layout_;
}

void wxPluginGUIFrame::layoutPluginGUI() {
  if (layout_ == nullptr || layout_->getRoot() == nullptr) return;
  View* root = layout_->getRoot();
  SetClientSize(root->getWidth() * zoom(), root->getHeight() * zoom());
  canvas_->SetSize(GetClientSize());
  layout_->setGUI(gui_.get());
  layout_->refreshAll();
  layout_->positionRoot(0, 0);
  layout_->setKeyboardFocus(wxWindow::FindFocus() == canvas_);
  if (canvas_->GetToolTip() == nullptr) canvas_->SetToolTip(new wxToolTip(""));
  for (int row = 0; row < layout_->getRowCount(); ++row) {
    if (View* view = layout_->getView(row)) {
      view->setMouseoverFunctor(
          new View::MouseoverFunctor<wxPluginGUIFrame>(this, &wxPluginGUIFrame::onViewMouseOver));
    }
  }
  wxToolTip::Enable(true);
}

void wxPluginGUIFrame::setZoom(int zoom) {
  surface_->setZoom(zoom);
  layoutPluginGUI();
}

void wxPluginGUIFrame::onTimerTick() {}

void wxPluginGUIFrame::onViewMouseOver(View* view) {
  if (view->isMouseOver()) {
    showReadout(layout_ != nullptr ? layout_->readout(view) : std::string());
  } else {
    wxToolTip::Enable(false);
    canvas_->SetToolTip("");
  }
}

void wxPluginGUIFrame::showReadout(const std::string& text) {
  const wxString shown = wxString::FromUTF8(text.substr(0, kToolTipCapacity - 1));
  canvas_->SetToolTip(shown);
  wxToolTip::Enable(true);
  if (!text.empty() && GetStatusBar() != nullptr) SetStatusText(shown, 0);
}

void wxPluginGUIFrame::onIdle(wxIdleEvent& event) {
  event.Skip();
  if (layout_ == nullptr) return;
  // Focus events do not come in every order (a layout attached while the canvas already
  // holds the focus): ask.
  layout_->setKeyboardFocus(wxWindow::FindFocus() == canvas_);
  layout_->idleTick();
  // Dragged, wheeled, stepped or clicked since the last pass: say what it is now.
  const int touched = layout_->takeTouchedRow();
  if (touched >= 0) showReadout(layout_->readout(layout_->getView(touched)));
  if (layout_->needsRedraw()) layout_->redraw();
}

void wxPluginGUIFrame::onLeftButton(wxMouseEvent& event) {
  event.Skip();
  if (layout_ == nullptr || layout_->getGUI() == nullptr) return;
  // The cursor as it is now, not where the event says it was.
  int x = 0, y = 0;
  layout_->getGUI()->getCursorPos(&x, &y);
  const bool down = event.GetEventType() != wxEVT_LEFT_UP;
  if (down) {
    keyboardLast_ = false;
    noteLeftButtonPress();
  }
  // Keys go to the panel the user last clicked.
  if (down && wxWindow::FindFocus() != canvas_) canvas_->SetFocus();
  layout_->mouseButton(x, y, 0, down);
}

void wxPluginGUIFrame::onMotion(wxMouseEvent& event) {
  event.Skip();
  if (layout_ == nullptr || layout_->getGUI() == nullptr) return;
  if (layout_->getGUI()->isLeftButtonDown()) return;  // a drag is polled from idle time
  int x = 0, y = 0;
  layout_->getGUI()->getCursorPos(&x, &y);
  layout_->mouseMove(x, y);
}

void wxPluginGUIFrame::onPaint(wxPaintEvent&) {
  wxPaintDC dc(canvas_);
  dc.SetBackground(canvas_->GetBackgroundColour());
  dc.Clear();
  if (layout_ != nullptr) layout_->redraw();
  surface_->paint(dc);
  if (layout_ != nullptr) stampFirstPaint();
}

void wxPluginGUIFrame::onContextMenu(wxContextMenuEvent& event) {
  // A right click does nothing; the menu key and Shift+F10 (a position of -1, -1) are the
  // panel's keys, should the system turn them into this event rather than a key.
  if (event.GetPosition() != wxDefaultPosition || layout_ == nullptr) return;
  if (layout_->key(kKeyMenu, false)) keyboardLast_ = true;
}

std::optional<wxPoint> wxPluginGUIFrame::keyboardMenuAnchor() {
  if (!keyboardLast_ || layout_ == nullptr) return std::nullopt;
  View* target = layout_->lastKeyTarget();
  if (target == nullptr) return std::nullopt;
  const Rect r = target->rect();
  const wxPoint below(r.left * zoom(), r.bottom * zoom());
  return ScreenToClient(canvas_->ClientToScreen(below));
}

void wxPluginGUIFrame::onTimer(wxTimerEvent&) {
  onTimerTick();
  if (layout_ != nullptr) layout_->timerTick();
}

void wxPluginGUIFrame::onKeyDown(wxKeyEvent& event) {
  const int key = toolkitKeyCode(event.GetKeyCode());
  const int modifiers = event.GetModifiers() & ~wxMOD_SHIFT;
  if (layout_ == nullptr || key < 0 || modifiers != 0 || !layout_->key(key, event.ShiftDown())) {
    event.Skip();
    return;
  }
  keyboardLast_ = true;
}

void wxPluginGUIFrame::onWheel(wxMouseEvent& event) {
  if (layout_ == nullptr || layout_->getGUI() == nullptr || event.GetWheelDelta() == 0 ||
      event.GetWheelAxis() != wxMOUSE_WHEEL_VERTICAL) {
    event.Skip();
    return;
  }
  const int notches = event.GetWheelRotation() / event.GetWheelDelta();
  int x = 0, y = 0;
  layout_->getGUI()->getCursorPos(&x, &y);
  if (!layout_->wheel(x, y, notches, event.ShiftDown())) event.Skip();
}

void wxPluginGUIFrame::onFocus(wxFocusEvent& event) {
  event.Skip();
  if (layout_ != nullptr) layout_->setKeyboardFocus(event.GetEventType() == wxEVT_SET_FOCUS);
}

void wxPluginGUIFrame::onClose(wxCloseEvent& event) {
  if (closable_) {
    Destroy();
  } else if (event.CanVeto()) {
    event.Veto();
  }
}

}  // namespace velmora
