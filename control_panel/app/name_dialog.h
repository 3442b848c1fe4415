// The unit name dialog: a plain dialog with one text field that only takes the characters a
// unit name may hold (letters and digits, at most 16).
//
// CNameDialog: the dialog that renames the unit.
// CNameValidator: the filter that keeps the dialog's text a valid unit name.
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

  // What the field holds after a change from `before` to `after`, however the text came in
  // (typing, paste, middle-click, drop): the inserted part filtered as pasted text and cut to
  // the room left; what was there before stays as it was. `caret` gets the end of the kept
  // insertion.
  static wxString filterChange(const wxString& before, const wxString& after, long* caret);

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
  void onTextChanged(wxCommandEvent& event);

  wxString name_;
  wxString shown_;  // the field's text after the last change let through
  wxTextCtrl* text_;
};

}  // namespace velmora
