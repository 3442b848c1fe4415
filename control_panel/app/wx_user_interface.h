// The mixer's and the hardware abstraction's dialogs, questions and status line, shown with
// wx over the main windows.
#pragma once

#include <wx/dialog.h>

#include <functional>

#include "control_panel/app/main_windows.h"
#include "control_panel/mixer/mixer_user_interface.h"

namespace velmora {

class WxUserInterface : public MixerUserInterface {
 public:
  explicit WxUserInterface(MainWindows& windows) : windows_(windows) {}

  void ShowStatus(const std::string& text) override;
  void ShowMessageBox(const std::string& text, const std::string& caption) override;
  void RunAfterEvent(std::function<void()> dialog) override;
  void DetachPanel() override;
  void ReattachPanel() override;
  std::optional<std::string> ChooseSaveFile() override;
  std::optional<std::string> ChooseLoadFile() override;
  std::optional<std::string> EditUnitName(const std::string& name) override;
  bool AskYesNo(const std::string& text, const std::string& caption) override;
  void ShowErrorBox(const std::string& text, const std::string& caption) override;
  void ShowUnitName(const std::string& name) override;
  void RefreshRateDependentState() override;
  bool IsFloatFrameShown() override;
  void DetachLayouts() override;
  void ShowSelectedFrame(bool floatFrameWasShown) override;

  // Answers Yes/No questions instead of a message box (tests; scripted use).
  void answerQuestionsWith(std::function<bool(const std::string& text)> answer) {
    answer_ = std::move(answer);
  }

  // Whether one of the panel's own dialogs (file, name) is open, and ends it as Cancel would:
  // an end of the program asked for meanwhile waits until the dialog's loop is left.
  bool dialogOpen() const { return openDialog_ != nullptr; }
  void cancelOpenDialog();

  // The last status text, also before the frames exist.
  const std::string& status() const { return status_; }

 private:
  // Shows `dialog` modally, known as the open dialog meanwhile.
  int showModal(wxDialog& dialog);

  MainWindows& windows_;
  wxDialog* openDialog_ = nullptr;
  std::string status_;
  std::function<bool(const std::string&)> answer_;
};

}  // namespace velmora
