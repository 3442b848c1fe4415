// VelmoraControl: the application object. It makes sure it is the only copy, reads the log
// setting, and hands start-up, the idle pass and the end to the ControlPanel.
#include <wx/app.h>
#include <wx/cmdline.h>
#include <wx/display.h>
#include <wx/evtloop.h>
#include <wx/msgdlg.h>
#include <wx/snglinst.h>
#include <wx/stdpaths.h>
#include <wx/utils.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <memory>
#include <optional>

#include "control_panel/app/app_config.h"
#include "control_panel/app/control_panel.h"
#include "control_panel/app/open_dialog_count.h"
#include "control_panel/device/diagnostic_log.h"
#include "control_panel/toolkit/diagnostics.h"
#include "control_panel/toolkit/panel_zoom.h"
#include "platform/clock.h"

namespace velmora {
namespace {

std::atomic<bool> endRequested{false};

void requestEnd(int) {
  endRequested = true;
}

}  // namespace

class VelmoraControlApp : public wxApp {
 public:
  // Runs before GTK starts. The panel is composited in software and never draws with OpenGL,
  // yet GDK would load the GL driver (with Mesa, all of LLVM: about 50 MB and a slower start)
  // only to choose visuals for it. A GDK_GL the user set is left as it is.
  VelmoraControlApp() {
    if (!wxGetEnv("GDK_GL", nullptr)) wxSetEnv("GDK_GL", "disable");
  }

  void OnInitCmdLine(wxCmdLineParser& parser) override {
    wxApp::OnInitCmdLine(parser);
    parser.AddParam("filename", wxCMD_LINE_VAL_STRING, wxCMD_LINE_PARAM_OPTIONAL);
    parser.AddLongOption("zoom", "show the panel at 1, 2 or 3 times its size",
                         wxCMD_LINE_VAL_STRING);
  }

  bool OnCmdLineParsed(wxCmdLineParser& parser) override {
    if (!wxApp::OnCmdLineParsed(parser)) return false;
    if (parser.GetParamCount() > 0) mixFile_ = parser.GetParam(0).utf8_string();
    wxString zoom;
    if (parser.Found("zoom", &zoom)) {
      zoomOption_ = parseZoom(zoom.utf8_string());
      if (!zoomOption_) {
        std::fprintf(stderr, "VelmoraControl: --zoom takes 1, 2 or 3, not \"%s\"\n",
                     zoom.utf8_str().data());
        return false;
      }
    }
    return true;
  }

  bool OnInit() override {
    SetVendorName(kVendorName);
    SetAppName(kApplicationName);
    if (!wxApp::OnInit()) return false;
    applyLogDestinationSetting();
    // The toolkit's own complaints (a layout row left blank) join the diagnostic trace.
    setDiagnosticSink([](const std::string& line) { LogText(line.c_str()); });
    instance_ = std::make_unique<wxSingleInstanceChecker>();
    if (createInstanceLock(*instance_) && instance_->IsAnotherRunning()) {
      wxMessageBox("Another copy of VelmoraControl PRO is already running.", "Error",
                   wxOK | wxICON_ERROR);
      instance_.reset();
      return false;
    }
    // A desktop session that logs out or a terminal's Ctrl+C ends the program as closing its
    // window does: in order, with the mix saved.
    std::signal(SIGTERM, requestEnd);
    std::signal(SIGINT, requestEnd);
    panel_ = std::make_unique<ControlPanel>();
    const std::optional<std::string> zoomSetting = readZoomSetting();
    const std::optional<int> configuredZoom = zoomSetting ? parseZoom(*zoomSetting) : std::nullopt;
    panel_->windows().setZoom(chooseZoom(zoomOption_, configuredZoom, displayZoomScale()));
    if (!panel_->start(mixFile_)) return false;
    if (zoomSetting && !configuredZoom) {
      // A bad setting is no reason not to start: the panel goes on at the other choice.
      panel_->windows().SetStatusText("Zoom \"" + *zoomSetting +
                                      "\" in the configuration ignored: it takes 1, 2 or 3");
    }
    Bind(wxEVT_IDLE, &VelmoraControlApp::onIdle, this);
    return true;
  }

  int OnExit() override {
    if (panel_) panel_->exit(true);
    panel_.reset();
    instance_.reset();
    return wxApp::OnExit();
  }

 private:
  void onIdle(wxIdleEvent& event) {
    event.Skip();
    if (endRequested && !endingWaitsForADialog()) {
      endRequested = false;
      if (MyFrame* frame = panel_->windows().CurrentMainFrame()) {
        frame->Close(true);
      } else {
        ExitMainLoop();
      }
      return;
    }
    if (panel_->idlePass()) event.RequestMore();
  }

  // Closing the frames from inside a dialog's nested loop would destroy what the dialog's
  // caller goes on using. The panel's own dialogs are ended as Cancel ends them; a question
  // or a message box (the About box) is waited for. The end comes once the main loop is back.
  bool endingWaitsForADialog() {
    if (panel_->ui().dialogOpen()) {
      panel_->ui().cancelOpenDialog();
      return true;
    }
    if (openDialogs_.count() > 0) return true;
    const wxEventLoopBase* active = wxEventLoopBase::GetActive();
    return active != nullptr && active != GetMainLoop();
  }

  // On Windows the named mutex "VelmoraControl PRO" of the session. Elsewhere the lock lives
  // in the user's configuration folder: one copy per user (and per configuration, so that a
  // test's copy does not meet the user's own).
  static bool createInstanceLock(wxSingleInstanceChecker& checker) {
#ifdef __WXMSW__
    return checker.Create(kApplicationName);
#else
    return checker.Create(wxString(kApplicationName) + "-" + wxGetUserId(),
                          wxStandardPaths::Get().GetUserConfigDir());
#endif
  }

  // What a display's scale asks of the zoom. GTK measures windows in logical pixels and
  // scales them for a HiDPI display itself (the panel is then painted at device resolution),
  // so there the zoom stays 1; where windows are measured in device pixels, the display's
  // scale is the zoom.
  static double displayZoomScale() {
#ifdef __WXGTK__
    return 1.0;
#else
    return wxDisplay(0u).GetScaleFactor();
#endif
  }

  std::optional<std::string> mixFile_;
  std::optional<int> zoomOption_;
  std::unique_ptr<wxSingleInstanceChecker> instance_;
  std::unique_ptr<ControlPanel> panel_;
  OpenDialogCount openDialogs_;
};

}  // namespace velmora

wxIMPLEMENT_APP(velmora::VelmoraControlApp);
