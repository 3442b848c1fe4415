// VelmoraControl: the application object. It makes sure it is the only copy, reads the log
// setting, and hands start-up, the idle pass and the end to the ControlPanel.
#include <wx/app.h>
#include <wx/cmdline.h>
#include <wx/msgdlg.h>
#include <wx/snglinst.h>
#include <wx/stdpaths.h>
#include <wx/utils.h>

#include <atomic>
#include <csignal>
#include <memory>
#include <optional>

#include "control_panel/app/app_config.h"
#include "control_panel/app/control_panel.h"
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
  void OnInitCmdLine(wxCmdLineParser& parser) override {
    wxApp::OnInitCmdLine(parser);
    parser.AddParam("filename", wxCMD_LINE_VAL_STRING, wxCMD_LINE_PARAM_OPTIONAL);
  }

  bool OnCmdLineParsed(wxCmdLineParser& parser) override {
    if (!wxApp::OnCmdLineParsed(parser)) return false;
    if (parser.GetParamCount() > 0) mixFile_ = parser.GetParam(0).utf8_string();
    return true;
  }

  bool OnInit() override {
    SetVendorName(kVendorName);
    SetAppName(kApplicationName);
    if (!wxApp::OnInit()) return false;
    applyLogDestinationSetting();
    instance_ = std::make_unique<wxSingleInstanceChecker>();
    // The lock lives in the user's configuration folder: one copy per user (and per
    // configuration, so that a test's copy does not meet the user's own).
    if (instance_->Create(wxString(kApplicationName) + "-" + wxGetUserId(),
                          wxStandardPaths::Get().GetUserConfigDir()) &&
        instance_->IsAnotherRunning()) {
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
    if (!panel_->start(mixFile_)) return false;
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
    if (endRequested.exchange(false)) {
      if (MyFrame* frame = panel_->windows().CurrentMainFrame()) {
        frame->Close(true);
      } else {
        ExitMainLoop();
      }
      return;
    }
    if (panel_->idlePass()) event.RequestMore();
  }

  std::optional<std::string> mixFile_;
  std::unique_ptr<wxSingleInstanceChecker> instance_;
  std::unique_ptr<ControlPanel> panel_;
};

}  // namespace velmora

wxIMPLEMENT_APP(velmora::VelmoraControlApp);
