// The updater's window: "Update", "Exit", the status text and the progress bar. It turns
// button presses into calls of the update logic and shows what the logic asks it to show.
#pragma once

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/gauge.h>
#include <wx/stattext.h>

#include <atomic>
#include <functional>
#include <optional>
#include <string>

#include "updater/firmware_updater.h"
#include "updater/updater_view.h"

namespace updater {

class UpdaterDialog : public wxDialog, public UpdaterView {
 public:
  // Control ids of the dialog: "Update" answers Return (the OK id), "Exit" answers Escape (the
  // Cancel id), the progress bar 1000.
  static constexpr int kUpdateId = 1;
  static constexpr int kExitId = 2;
  static constexpr int kProgressId = 1000;

  // `onQuit` receives the exit code of the program.
  explicit UpdaterDialog(std::function<void(int)> onQuit);

  // Makes the window and its controls, driving `logic`.
  void build(FirmwareUpdater& logic);

  void setStatusText(const std::string& text) override;
  void enableUpdate(bool enabled) override;
  void enableExit(bool enabled) override;
  void showProgressBar(uint32_t rangeMax) override;
  void setProgress(uint32_t position) override;
  void showMessage(const std::string& text, const std::string& caption) override;
  bool ask(const Question& question) override;
  std::optional<std::string> askSaveFile(const SaveFileRequest& request) override;
  void showDownloadWarning(const std::string& text) override;
  void quit(int exitCode) override;
  void postTask(std::function<void()> task) override;
  void postProgress(uint32_t status, uint32_t percent) override;
  void showNoticeAndWait(const std::string& text, const std::atomic<bool>& cancelled) override;

 private:
  void onClose(wxCloseEvent& event);

  std::function<void(int)> onQuit_;
  FirmwareUpdater* logic_ = nullptr;
  wxButton* update_ = nullptr;
  wxButton* exit_ = nullptr;
  wxStaticText* status_ = nullptr;
  // Below the progress bar, only while firmware is being written.
  wxStaticText* warning_ = nullptr;
  wxGauge* progress_ = nullptr;
};

}  // namespace updater
