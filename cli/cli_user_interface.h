// What the hardware abstraction and the mixer show or ask, for a command line: status lines
// and message boxes are kept as reasons, error boxes go to standard error, and questions are
// answered by --yes/--no, by the person at the terminal, or refused.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "control_panel/mixer/mixer_user_interface.h"

namespace velmoractl {

class CliUserInterface final : public velmora::MixerUserInterface {
 public:
  enum class Answer { Ask, Yes, No };
  void setAnswer(Answer answer) { answer_ = answer; }

  void ShowStatus(const std::string& text) override { statusLines_.push_back(text); }
  void ShowMessageBox(const std::string& text, const std::string& caption) override;
  void ShowErrorBox(const std::string& text, const std::string& caption) override;
  bool AskYesNo(const std::string& text, const std::string& caption) override;

  // Windows and dialogs do not exist here.
  void DetachPanel() override {}
  void ReattachPanel() override {}
  std::optional<std::string> ChooseSaveFile() override { return std::nullopt; }
  std::optional<std::string> ChooseLoadFile() override { return std::nullopt; }
  std::optional<std::string> EditUnitName(const std::string&) override { return std::nullopt; }
  void ShowUnitName(const std::string&) override {}
  void RefreshRateDependentState() override {}
  bool IsFloatFrameShown() override { return false; }
  void DetachLayouts() override {}
  void ShowSelectedFrame(bool) override {}

  const std::vector<std::string>& statusLines() const { return statusLines_; }
  const std::vector<std::string>& messages() const { return messages_; }
  // A question nobody could answer (no --yes/--no and no terminal), if one came up.
  const std::optional<std::string>& unansweredQuestion() const { return unanswered_; }
  bool showedError() const { return showedError_; }

 private:
  Answer answer_ = Answer::Ask;
  std::vector<std::string> statusLines_;
  std::vector<std::string> messages_;
  std::optional<std::string> unanswered_;
  bool showedError_ = false;
};

}  // namespace velmoractl
