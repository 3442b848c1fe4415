// VelmoraProUpdater: the power-supply warning, then the updater's dialog until "Exit", a skipped
// update or a restart ends the program with the code the logic gave.
#include <wx/app.h>

#include <memory>

#include "updater/firmware_library.h"
#include "updater/firmware_updater.h"
#include "updater/updater_dialog.h"

namespace updater {

class UpdaterApp : public wxApp {
 public:
  bool OnInit() override {
    dialog_ = new UpdaterDialog([this](int code) {
      exitCode_ = code;
      ExitMainLoop();
    });
    logic_ = std::make_unique<FirmwareUpdater>(sharedFirmwareLibrary(), *dialog_);
    logic_->showStartWarning();
    dialog_->build(*logic_);
    logic_->initialise();
    dialog_->Show();
    return true;
  }

  int OnRun() override {
    wxApp::OnRun();
    return exitCode_;
  }

  int OnExit() override {
    // The worker, if any, is stopped and waited for before the library goes.
    logic_.reset();
    return wxApp::OnExit();
  }

 private:
  UpdaterDialog* dialog_ = nullptr;
  std::unique_ptr<FirmwareUpdater> logic_;
  int exitCode_ = 0;
};

}  // namespace updater

wxIMPLEMENT_APP(updater::UpdaterApp);
