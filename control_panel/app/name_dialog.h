// The unit name dialog: a plain dialog with one text field that only takes the characters a
// unit name may hold (letters and digits, at most 16).
#pragma once

#include <wx/dialog.h>
#include <wx/textctrl.h>
#include <wx/valtext.h>

namespace velmora {

class CNameValidator : public wxTextValidator {
 public:
  static constexpr size_t kMaxLength = 16;
  explicit CNameValidator(wxString* name);
  CNameValidator(const CNameValidator& other);
  wxObject* Clone() const override { return new CNameValidator(*this); }

  // Text pasted into the field, cut to what typing would have allowed.
  static wxString filterPasted(const wxString& text);

 private:
  void onChar(wxKeyEvent& event);
  void onPaste(wxClipboardTextEvent& event);
};

class CNameDialog : public wxDialog {
 public:
  enum : int { kDialogId = 10005, kOkId = 5100, kCancelId = 5101, kTextId = 5105 };
  CNameDialog(wxWindow* parent, const wxString& name);

  const wxString& name() const { return name_; }
  wxTextCtrl* text() const { return text_; }

 private:
  void onOk(wxCommandEvent& event);
  void onCancel(wxCommandEvent& event);

  wxString name_;
  wxTextCtrl* text_;
};

}  // namespace velmora
