// A main window: the panel layout it shows (normal, shrink or AC3), its partner (the other
// main window, of which one is shown at a time), the pop-up main and unit menus and their
// commands, and the window-level reactions to a few parameters.
//
// MyFrame: a main window of the control panel.
#pragma once

#include <wx/menu.h>

#include <memory>
#include <string>

#include "control_panel/app/plugin_gui_frame.h"
#include "control_panel/mixer/mixer_host.h"
#include "control_panel/panels/velmora_gui.h"
#include "control_panel/toolkit/p_plugin.h"

namespace velmora {

class MyFrame;

// The layouts a main frame chooses between, and its partner frame. One not chosen yet need
// not exist: each is built when first asked for (none once they are deleted at the end).
class MainLayouts {
 public:
  virtual VelmoraGUI* normalLayout() = 0;
  virtual VelmoraGUI* shrinkLayout() = 0;
  virtual VelmoraGUI* ac3Layout() = 0;
  // The other main frame of `frame`, built when first asked for; nullptr once the frames end.
  virtual MyFrame* partnerOf(MyFrame& frame) = 0;

 protected:
  ~MainLayouts() = default;
};

class MyFrame : public wxPluginGUIFrame, public Plugin::ParameterObserver {
 public:
  static constexpr long kFloatStyle =
      wxCAPTION | wxSTAY_ON_TOP | wxCLOSE_BOX | wxSYSTEM_MENU | wxFRAME_TOOL_WINDOW;
  static constexpr long kNormalStyle = wxCAPTION | wxCLOSE_BOX | wxSYSTEM_MENU | wxMINIMIZE_BOX;
  // Menu command ids.
  enum : int {
    kIdSupport = 1,
    kIdDownloads = 2,
    kIdStandalone = 3,
    kIdMixing = 4,
    kIdTracking = 5,
    kIdDisableAdat = 6,
    kIdUpdateFirmware = 7,
    kIdHardwareMonitoring = 8,
    kIdFirstUnit = 9,
    kIdLastUnit = 25,
    // One per panel shortcut (panel_shortcuts.h), in its order.
    kIdFirstShortcut = 26,
    kIdLastShortcut = 41,
  };

  MyFrame(PPlugIn* plugIn, MixerHost* host, MainLayouts* layouts, long style, MyFrame* partner);
  ~MyFrame() override;

  void ChooseLayout(bool applyNow);
  void ApplyLayout();
  void ShowUnitName();
  void parameterChanged(int id) override;

  VelmoraGUI* currentLayout() const { return current_; }
  MyFrame* partner() const { return partner_; }
  wxMenu& mainMenu() { return *mainMenu_; }
  // The unit menu as it would open now.
  std::unique_ptr<wxMenu> buildUnitMenu();
  // Where a pop-up menu opens for the mouse at `mouse` (screen coordinates).
  wxPoint menuPosition(const wxPoint& mouse);

  // The frame's own refresh of its layout, by its own name; wx's repaint request
  // (Refresh(bool, const wxRect*)) stays reachable through wxWindow.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Woverloaded-virtual"
  void Refresh();
#pragma GCC diagnostic pop
  void runCommand(int id);
  // Does what the panel key does, on the layout shown; false when it has no control for it.
  bool runShortcut(const PanelShortcut& shortcut);
  // Where "Update Firmware..." looks for the updater: beside this program unless set here
  // (tests point it at a file that is not there).
  void setUpdaterPath(std::string path) {
    updaterPath_ = std::move(path);
  }

 private:
  void react(int id);
  void onCommand(wxCommandEvent& event);
  void onCloseFrame(wxCloseEvent& event);
  void popUp(wxMenu& menu);
  void showAbout();
  void swapFrames();
  // The partner takes the size the current layout gives a frame.
  void sizePartnerToLayout();
  void switchUnit(int index);
  void setStandalone(bool tracking);
  void toggleAdat();
  void toggleHardwareMonitoring();
  void updateFirmware();
  // Opens `address` in the browser; an error box says so when that cannot be done.
  void openWebPage(const char* address);
  // An error box: the updater could not be started, `why`.
  void showUpdaterFailure(const std::string& why);
  void setAdatParameters(bool adatOn);

  PPlugIn* plugIn_;
  // The parameter set outlives the frames; the adapter may not.
  Plugin* plugin_;
  MixerHost* host_;
  MainLayouts* layouts_;
  VelmoraGUI* current_ = nullptr;
  MyFrame* partner_;
  std::unique_ptr<wxMenu> mainMenu_;
  // Owned by the main menu, as its submenu.
  wxMenu* standaloneMenu_;
  std::string updaterPath_;
};

}  // namespace velmora
