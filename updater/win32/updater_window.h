// The updater's Win32 dialog (resource 129): "Update", "Exit", the status text and the
// progress bar. It turns button presses into calls of the update logic and shows what the
// logic asks it to show; the download worker reaches it only by posted messages.
#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string>

#include "platform/win32/windows_api.h"
#include "updater/firmware_updater.h"
#include "updater/updater_view.h"

namespace updater {

class UpdaterWindow : public UpdaterView {
 public:
  // The worker's progress: status in wParam, percentage in lParam.
  static constexpr UINT kProgressMessage = 0x8400;
  // A notice the worker waits on: lParam is a Notice*, shown and then signalled.
  static constexpr UINT kNoticeMessage = 0x8401;
  // A task for the dialog's thread: lParam is a std::function<void()>* that the dialog deletes.
  static constexpr UINT kTaskMessage = 0x8402;

  // Creates the (hidden) modeless dialog from the resources of `instance`, driving `logic`.
  bool create(HINSTANCE instance, FirmwareUpdater& logic);
  HWND handle() const { return window_; }

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
  static INT_PTR CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam);
  void initialise();
  // Holds off logoff and shutdown while firmware is being written, with `reason` shown by
  // Windows; an empty reason lets them go again.
  void holdSessionEnd(const std::string& reason);

  FirmwareUpdater* logic_ = nullptr;
  HWND window_ = nullptr;
  // The window the worker posts to; cleared when the dialog goes, so nothing is posted after.
  std::atomic<HWND> postTarget_ = nullptr;
  HWND update_ = nullptr;
  HWND exit_ = nullptr;
  HWND status_ = nullptr;
  HWND progress_ = nullptr;
  HWND warning_ = nullptr;
  bool holdingSessionEnd_ = false;
};

}  // namespace updater
