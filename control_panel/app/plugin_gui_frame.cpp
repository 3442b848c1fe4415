#include "control_panel/app/plugin_gui_frame.h"

#include <wx/dcclient.h>
#include <wx/tooltip.h>

#include "control_panel/app/first_paint_stamp.h"
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
  Bind(wxEVT_TIMER, &wxPluginGUIFrame::onTimer, this, kTimerId);
  Bind(wxEVT_CLOSE_WINDOW, &wxPluginGUIFrame::onClose, this);
  timer_.Start(kTimerPeriodMs);
}

wxPluginGUIFrame::~wxPluginGUIFrame() {
  timer_.Stop();
  detachLayout();
}

void wxPluginGUIFrame::detachLayout() {
  if (layout_ == nullptr) return;
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
    char name[kToolTipCapacity] = {};
    view->getName(name, kToolTipCapacity);
    canvas_->SetToolTip(wxString::FromUTF8(name));
    wxToolTip::Enable(true);
  } else {
    wxToolTip::Enable(false);
    canvas_->SetToolTip("");
  }
}

void wxPluginGUIFrame::onIdle(wxIdleEvent& event) {
  event.Skip();
  if (layout_ == nullptr) return;
  layout_->idleTick();
  if (layout_->needsRedraw()) layout_->redraw();
}

void wxPluginGUIFrame::onLeftButton(wxMouseEvent& event) {
  event.Skip();
  if (layout_ == nullptr || layout_->getGUI() == nullptr) return;
  // The cursor as it is now, not where the event says it was.
  int x = 0, y = 0;
  layout_->getGUI()->getCursorPos(&x, &y);
  const bool down = event.GetEventType() != wxEVT_LEFT_UP;
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

void wxPluginGUIFrame::onContextMenu(wxContextMenuEvent&) {}

void wxPluginGUIFrame::onTimer(wxTimerEvent&) {
  onTimerTick();
  if (layout_ != nullptr) layout_->timerTick();
}

void wxPluginGUIFrame::onClose(wxCloseEvent& event) {
  if (closable_) {
    Destroy();
  } else if (event.CanVeto()) {
    event.Veto();
  }
}

}  // namespace velmora
