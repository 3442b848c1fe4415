// How the hardware abstraction reaches the user: the main windows' status line and message
// boxes. The application implements it with its windows; tests record what was shown.
#pragma once

#include <string>

namespace velmora {

class HalUserInterface {
 public:
  virtual ~HalUserInterface() = default;
  // Replaces the text of the main windows' status line.
  virtual void ShowStatus(const std::string& text) = 0;
  // A modal message box with an OK button (centred), without a parent window.
  virtual void ShowMessageBox(const std::string& text, const std::string& caption) = 0;
};

}  // namespace velmora
