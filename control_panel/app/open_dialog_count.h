// How many modal dialogs are open now, the system's message boxes included. GTK runs a
// message box in a loop of its own that wx's event loops do not show, yet wx tells a hook
// about every modal dialog it shows. Make one for the program's lifetime, after wx has started.
#pragma once

#include <wx/modalhook.h>

namespace velmora {

class OpenDialogCount : public wxModalDialogHook {
 public:
  OpenDialogCount() { Register(); }
  int count() const { return open_; }

 protected:
  int Enter(wxDialog*) override {
    ++open_;
    return wxID_NONE;  // shown as usual
  }
  void Exit(wxDialog*) override { --open_; }

 private:
  int open_ = 0;
};

}  // namespace velmora
