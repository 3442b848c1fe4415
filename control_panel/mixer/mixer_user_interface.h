// What the mixer needs from the application's windows: the panel detached while a dialog is
// up, the file and name dialogs, questions and error boxes, and the frames refreshed. The
// application implements it with its windows; velmoractl and tests implement it without.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "control_panel/hal/hal_user_interface.h"

namespace velmora {

class MixerUserInterface : public HalUserInterface {
 public:
  // The skinned panel stops (and starts again) following the parameter set while a modal
  // dialog is open.
  virtual void DetachPanel() = 0;
  // Runs `dialog` once the event that asked for it is over. A dialog runs a nested event loop,
  // and the panel gesture that asked for it (a press, a drag, a tick) must not be on the stack
  // while layouts are swapped or detached in that loop. Without an event loop it runs at once.
  virtual void RunAfterEvent(std::function<void()> dialog) { dialog(); }
  virtual void ReattachPanel() = 0;
  // "Save Velmora PRO Mix file" / "Load Velmora PRO Mix file" file dialogs; nullopt when
  // cancelled.
  virtual std::optional<std::string> ChooseSaveFile() = 0;
  virtual std::optional<std::string> ChooseLoadFile() = 0;
  // The unit name dialog with `name`; the edited name when the user confirms.
  virtual std::optional<std::string> EditUnitName(const std::string& name) = 0;
  // A Yes/No question; true for Yes.
  virtual bool AskYesNo(const std::string& text, const std::string& caption) = 0;
  // A message box with the error icon and an OK button.
  virtual void ShowErrorBox(const std::string& text, const std::string& caption) = 0;
  // Both main frames show the unit's (new) name.
  virtual void ShowUnitName(const std::string& name) = 0;
  // Both main frames recompute what depends on the sample rate and the model.
  virtual void RefreshRateDependentState() = 0;
  // The unit switch: whether the float frame is shown; both frames' layouts detached; the
  // frame parameter 38 selects shown again.
  virtual bool IsFloatFrameShown() = 0;
  virtual void DetachLayouts() = 0;
  virtual void ShowSelectedFrame(bool floatFrameWasShown) = 0;
};

}  // namespace velmora
