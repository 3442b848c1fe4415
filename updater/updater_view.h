// What the update logic asks of its window. The wx dialog implements it; tests record it.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace updater {

// A Yes/No question with the warning icon.
struct Question {
  std::string text;
  std::string caption;
  bool noIsDefault = false;
};

// A save-file dialog.
struct SaveFileRequest {
  std::string title;
  std::string defaultName;
  std::string defaultExtension;
  bool startInDesktop = true;
  bool promptOverwrite = true;
};

class UpdaterView {
 public:
  virtual ~UpdaterView() = default;

  // ---- Called on the dialog's thread ----
  virtual void setStatusText(const std::string& text) = 0;
  virtual void enableUpdate(bool enabled) = 0;
  virtual void enableExit(bool enabled) = 0;
  // Shows the progress bar with the range 0..`rangeMax`.
  virtual void showProgressBar(uint32_t rangeMax) = 0;
  virtual void setProgress(uint32_t position) = 0;
  // A message box with an OK button; returns when it is closed.
  virtual void showMessage(const std::string& text, const std::string& caption) = 0;
  // True for Yes.
  virtual bool ask(const Question& question) = 0;
  // The path the user chose, or nothing when cancelled.
  virtual std::optional<std::string> askSaveFile(const SaveFileRequest& request) = 0;
  // A line that stays in the window while firmware is being written, `text` empty for none.
  // Where the system can hold off a logoff or shutdown, the window holds it off while there is
  // one, giving `text` as the reason.
  virtual void showDownloadWarning(const std::string& text) = 0;
  // Destroys the dialog and ends the program's message loop with `exitCode`.
  virtual void quit(int exitCode) = 0;

  // ---- Called on any thread ----
  // Queues `task` for the dialog's thread, behind what is queued already. Once the dialog has
  // gone, nothing queued is run.
  virtual void postTask(std::function<void()> task) = 0;

  // ---- Called on the download worker's thread ----
  // Queues FirmwareUpdater::onProgress(status, percent) for the dialog's thread.
  virtual void postProgress(uint32_t status, uint32_t percent) = 0;
  // Shows `text` with an OK button on the dialog's thread and returns once it was closed, or
  // as soon as `cancelled` answers true.
  virtual void showNoticeAndWait(const std::string& text, const std::atomic<bool>& cancelled) = 0;
};

}  // namespace updater
