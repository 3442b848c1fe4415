#include "cli/cli_user_interface.h"

#include <cstdio>
#include <iostream>

#include "platform/terminal.h"

namespace velmoractl {

void CliUserInterface::ShowMessageBox(const std::string& text, const std::string&) {
  messages_.push_back(text);
}

void CliUserInterface::ShowErrorBox(const std::string& text, const std::string&) {
  std::fprintf(stderr, "velmoractl: %s\n", text.c_str());
  showedError_ = true;
}

bool CliUserInterface::AskYesNo(const std::string& text, const std::string&) {
  if (answer_ != Answer::Ask) return answer_ == Answer::Yes;
  if (!platform::standardInputIsTerminal()) {
    unanswered_ = text;
    return false;
  }
  std::fprintf(stderr, "%s\n[y/N] ", text.c_str());
  std::string reply;
  std::getline(std::cin, reply);
  return !reply.empty() && (reply[0] == 'y' || reply[0] == 'Y');
}

}  // namespace velmoractl
