#include "control_panel/app/name_dialog.h"

#include <wx/button.h>
#include <wx/clipbrd.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/utils.h>

#include <algorithm>
#include <cstring>

namespace velmora {
namespace {

constexpr char kAllowed[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

wxArrayString allowedCharacters() {
  wxArrayString list;
  for (const char* c = kAllowed; *c != '\0'; ++c) list.Add(wxString(*c));
  return list;
}

bool isAllowed(wxUniChar c) {
  return c.IsAscii() && std::strchr(kAllowed, static_cast<char>(c)) != nullptr && c != 0;
}

}  // namespace

CNameValidator::CNameValidator(wxString* name) : wxTextValidator(wxFILTER_INCLUDE_CHAR_LIST, name) {
  SetIncludes(allowedCharacters());
  Bind(wxEVT_CHAR, &CNameValidator::onChar, this);
  Bind(wxEVT_TEXT_PASTE, &CNameValidator::onPaste, this);
}

CNameValidator::CNameValidator(const CNameValidator& other) : wxTextValidator(other) {
  Bind(wxEVT_CHAR, &CNameValidator::onChar, this);
  Bind(wxEVT_TEXT_PASTE, &CNameValidator::onPaste, this);
}

wxString CNameValidator::filterPasted(const wxString& text) {
  wxString kept;
  for (const wxUniChar c : text) {
    if (kept.length() >= kMaxLength) break;
    if (isAllowed(c)) kept += c;
  }
  return kept;
}

wxString CNameValidator::filterChange(const wxString& before, const wxString& after, long* caret) {
  size_t prefix = 0;
  while (prefix < before.length() && prefix < after.length() && before[prefix] == after[prefix]) {
    ++prefix;
  }
  size_t suffix = 0;
  while (suffix < before.length() - prefix && suffix < after.length() - prefix &&
         before[before.length() - 1 - suffix] == after[after.length() - 1 - suffix]) {
    ++suffix;
  }
  const size_t kept = prefix + suffix;
  const size_t room = kMaxLength > kept ? kMaxLength - kept : 0;
  const wxString inserted = filterPasted(after.Mid(prefix, after.length() - kept)).Left(room);
  if (caret != nullptr) *caret = static_cast<long>(prefix + inserted.length());
  return after.Left(prefix) + inserted + after.Right(suffix);
}

void CNameValidator::onChar(wxKeyEvent& event) {
  const int key = event.GetKeyCode();
  // Control and navigation keys work at any length.
  if (key < 32 || key == 127 || key > 300) {
    event.Skip();
    return;
  }
  auto* text = dynamic_cast<wxTextCtrl*>(GetWindow());
  if (text != nullptr && !text->HasSelection() && text->GetValue().length() >= kMaxLength) {
    wxBell();
    return;
  }
  wxTextValidator::OnChar(event);
}

void CNameValidator::onPaste(wxClipboardTextEvent& event) {
  auto* text = dynamic_cast<wxTextCtrl*>(GetWindow());
  if (text == nullptr) return event.Skip();
  wxString pasted;
  if (wxTheClipboard->Open()) {
    wxTextDataObject data;
    if (wxTheClipboard->GetData(data)) pasted = data.GetText();
    wxTheClipboard->Close();
  }
  long from = 0, to = 0;
  text->GetSelection(&from, &to);
  const size_t room = kMaxLength - std::min<size_t>(kMaxLength, text->GetValue().length() -
                                                                    static_cast<size_t>(to - from));
  text->WriteText(filterPasted(pasted).Left(room));
}

CNameDialog::CNameDialog(wxWindow* parent, const wxString& name)
    : wxDialog(parent, kDialogId, "VelmoraControl PRO", wxDefaultPosition, wxSize(400, 300),
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxTAB_TRAVERSAL | wxDIALOG_NO_PARENT,
               "dialog") {
  auto* top = new wxBoxSizer(wxVERTICAL);
  SetSizer(top);
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  row->Add(new wxStaticText(this, kTextId, "Unit Name: ", wxDefaultPosition, wxDefaultSize, 0,
                            "staticText"),
           0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 10);
  text_ = new wxTextCtrl(this, kTextId, "Name", wxDefaultPosition, wxSize(180, -1), 0,
                         wxDefaultValidator, "text");
  row->Add(text_, 0, 0, 0);
  top->Add(row, 0, wxALIGN_CENTER | wxALL, 15);
  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  auto* ok = new wxButton(this, kOkId, "OK", wxDefaultPosition, wxDefaultSize, 0,
                          wxDefaultValidator, "button");
  ok->SetDefault();
  buttons->Add(ok, 0, wxALIGN_CENTER_VERTICAL | wxALL, 10);
  buttons->Add(new wxButton(this, kCancelId, "Cancel", wxDefaultPosition, wxDefaultSize, 0,
                            wxDefaultValidator, "button"),
               0, wxALIGN_CENTER_VERTICAL | wxALL, 10);
  top->Add(buttons, 0, wxALIGN_CENTER | wxALL, 10);
  name_ = name;
  text_->SetValidator(CNameValidator(&name_));
  text_->SetValue(name_);
  shown_ = name_;
  // Typing is filtered key by key; paste, middle-click and drop reach the field as a change.
  text_->Bind(wxEVT_TEXT, &CNameDialog::onTextChanged, this);
  GetSizer()->Fit(this);
  Centre();
  Bind(wxEVT_BUTTON, &CNameDialog::onOk, this, kOkId);
  Bind(wxEVT_BUTTON, &CNameDialog::onCancel, this, kCancelId);
}

void CNameDialog::onOk(wxCommandEvent&) {
  name_ = text_->GetValue();
  EndModal(0);
}

void CNameDialog::onTextChanged(wxCommandEvent& event) {
  event.Skip();
  const wxString value = text_->GetValue();
  long caret = 0;
  const wxString kept = CNameValidator::filterChange(shown_, value, &caret);
  shown_ = kept;
  if (kept == value) return;
  text_->ChangeValue(kept);  // sends no second change event
  text_->SetInsertionPoint(caret);
}

void CNameDialog::onCancel(wxCommandEvent&) {
  EndModal(-1);
}

}  // namespace velmora
