#include "control_panel/app/main_windows.h"

#include <wx/display.h>
#include <wx/statusbr.h>

#include <algorithm>
#include <cmath>

#include "control_panel/mixer/velmora_parameters.h"
#include "control_panel/panels/panel_views.h"
#include "control_panel/toolkit/named_bitmap.h"
#include "control_panel/toolkit/panel_zoom.h"
#include "control_panel/toolkit/skin_archive.h"
#include "control_panel/toolkit/view.h"
#include "platform/resources.h"

namespace velmora {
namespace {
constexpr long kConnectionLostStyle = wxCAPTION | wxFRAME_FLOAT_ON_PARENT | wxFRAME_TOOL_WINDOW;
static_assert(kConnectionLostStyle == 0x2000000C);
constexpr int kConnectionLostTop = 100;
}  // namespace

MainWindows::~MainWindows() {
  deleteLayouts();
}

bool MainWindows::loadSkin() {
  registerPanelViews();
  const auto resource = platform::findResource("PAL", 105);
  if (!resource) return false;
  // The skins are part of the program: read in place, not copied.
  loadResidentArchive(resource->data(), resource->size());
  loadDoubleArchive(nullptr, 0);
  // Only then: at ×1 the 15 MB of the ×2 skin are not even read.
  if (skinScaleFor(zoom_, displayDeviceScale()) == 2) {
    if (const auto fine = platform::findResource("PAL", 106)) {
      loadResidentDoubleArchive(fine->data(), fine->size());
    }
  }
  return true;
}

int MainWindows::displayDeviceScale() {
#ifdef __WXGTK__
  // GTK shows each window pixel as this many device pixels a side (GDK_SCALE).
  return std::clamp(static_cast<int>(std::lround(wxDisplay(0u).GetScaleFactor())), 1, 4);
#else
  // Elsewhere windows are measured in device pixels: the display's scale is in the zoom.
  return 1;
#endif
}

void MainWindows::createLayouts(VelmoraPlugin& plugin) {
  plugin_ = &plugin;
  layoutsDeleted_ = false;
  normal_layout_ = std::make_unique<VelmoraNormalGUI>(&plugin);
  plugIn_ = std::make_unique<PPlugIn>(&plugin, normal_layout_.get());
}

VelmoraGUI* MainWindows::normalLayout() {
  return normal_layout_.get();
}

VelmoraGUI* MainWindows::shrinkLayout() {
  if (!shrink_ && plugin_ != nullptr && !layoutsDeleted_) {
    shrink_ = std::make_unique<VelmoraShrinkGUI>(plugin_);
  }
  return shrink_.get();
}

VelmoraGUI* MainWindows::ac3Layout() {
  if (!ac3_ && plugin_ != nullptr && !layoutsDeleted_) {
    ac3_ = std::make_unique<VelmoraAC3GUI>(plugin_);
  }
  return ac3_.get();
}

void MainWindows::createFrames(MixerHost& host, std::function<void(MyFrame&)> setUp) {
  host_ = &host;
  setUpFrame_ = std::move(setUp);
  CurrentMainFrame();
}

MyFrame* MainWindows::buildMainFrame(bool floating) {
  MyFrame*& slot = floating ? float_ : normal_;
  MyFrame* other = floating ? normal_ : float_;
  slot = new MyFrame(plugIn_.get(), host_, this,
                     floating ? MyFrame::kFloatStyle : MyFrame::kNormalStyle, other);
  slot->setZoom(zoom_);
  forgetWhenDestroyed(slot);
  if (setUpFrame_) setUpFrame_(*slot);
  // A frame built after the start missed the unit's ready event: its menus and the rate- and
  // model-dependent parameters are brought up to date as that event would have.
  if (other != nullptr) slot->Refresh();
  return slot;
}

MyFrame* MainWindows::mainFrame(bool floating) {
  MyFrame* frame = floating ? float_ : normal_;
  if (frame == nullptr && host_ != nullptr && !mainFramesEnded_ && !layoutsDeleted_) {
    frame = buildMainFrame(floating);
  }
  return frame;
}

MyFrame* MainWindows::partnerOf(MyFrame& frame) {
  return mainFrame(&frame == normal_);
}

void MainWindows::setZoom(int zoom) {
  zoom_ = zoom;
  forEachMainFrame([zoom](MyFrame& frame) { frame.setZoom(zoom); });
  if (lost_ != nullptr) lost_->setZoom(zoom);
}

void MainWindows::forgetWhenDestroyed(wxWindow* frame) {
  frame->Bind(wxEVT_DESTROY, [this, frame](wxWindowDestroyEvent& event) {
    event.Skip();
    if (event.GetEventObject() != frame) return;
    // Closing either main frame ends them both, and the program: none is built again.
    if (frame == float_ || frame == normal_) mainFramesEnded_ = true;
    if (frame == float_) float_ = nullptr;
    if (frame == normal_) normal_ = nullptr;
    if (frame == lost_) lost_ = nullptr;
  });
}

MyFrame* MainWindows::CurrentMainFrame() {
  if (plugin_ == nullptr) return nullptr;
  return mainFrame(plugin_->getNormalised(param::kFloatWindow) > 0.0f);
}

void MainWindows::showCurrentFrame() {
  MyFrame* current = CurrentMainFrame();
  if (current == nullptr) return;
  MyFrame* other = current == float_ ? normal_ : float_;
  if (other != nullptr) other->Hide();
  current->Show();
  current->ApplyLayout();
}

void MainWindows::createConnectionLostFrame(VelmoraPlugin& plugin) {
  // Built when first shown: most sessions never lose their unit, and a hidden frame still
  // costs a window, its layout's images and a back buffer.
  lostPlugin_ = &plugin;
}

void MainWindows::buildConnectionLostFrame() {
  lostBuilt_ = true;
  lostLayout_ = std::make_unique<ConnectionLostGUI>(lostPlugin_);
  lost_ = new wxPluginGUIFrame(CurrentMainFrame(), wxID_ANY, "FireWire Connection Lost",
                               kConnectionLostStyle, false);
  lost_->setZoom(zoom_);
  lost_->setPluginGUI(lostLayout_.get());
  lost_->Hide();
  forgetWhenDestroyed(lost_);
}

void MainWindows::SetStatusText(const std::string& text) {
  forEachMainFrame([&](MyFrame& frame) {
    if (frame.GetStatusBar() != nullptr) frame.SetStatusText(wxString::FromUTF8(text), 0);
  });
}

void MainWindows::ShowConnectionLost(bool show) {
  MyFrame* current = CurrentMainFrame();
  if (current == nullptr) return;
  if (lost_ == nullptr) {
    if (!show || lostBuilt_ || lostPlugin_ == nullptr || layoutsDeleted_) return;
    buildConnectionLostFrame();
  }
  // Centred over the main frame, near its top (frames are top-level: screen coordinates),
  // reckoned in panel pixels.
  const int zoom = current->zoom();
  const int across =
      (current->GetSize().GetWidth() / zoom - lost_->GetSize().GetWidth() / zoom) / 2;
  const wxPoint place = current->GetPosition() + wxPoint(across, kConnectionLostTop) * zoom;
  if (lost_->GetParent() != current) {
    lost_->Reparent(current);
    lost_->Move(place);
  }
  if (show && !lost_->IsShown()) lost_->Move(place);
  lost_->Show(show);
}

void MainWindows::forgetFrames() {
  mainFramesEnded_ = true;
  float_ = nullptr;
  normal_ = nullptr;
  lost_ = nullptr;
}

void MainWindows::deleteLayouts() {
  if (float_ != nullptr) float_->setPluginGUI(nullptr);
  if (normal_ != nullptr) normal_->setPluginGUI(nullptr);
  if (lost_ != nullptr) lost_->setPluginGUI(nullptr);
  layoutsDeleted_ = true;
  plugIn_.reset();
  normal_layout_.reset();
  ac3_.reset();
  shrink_.reset();
  lostLayout_.reset();
}

}  // namespace velmora
