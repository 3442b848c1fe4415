#include "updater/updater_dialog.h"

#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/stdpaths.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <memory>

#include "updater/updater_texts.h"

namespace updater {

namespace {

constexpr int kBorder = 10;
constexpr int kTextWidth = 320;

wxString fromUtf8(const std::string& text) {
  return wxString::FromUTF8(text.c_str());
}

}  // namespace

UpdaterDialog::UpdaterDialog(std::function<void(int)> onQuit) : onQuit_(std::move(onQuit)) {}

void UpdaterDialog::build(FirmwareUpdater& logic) {
  logic_ = &logic;
  Create(nullptr, wxID_ANY, text::kDialogCaption, wxDefaultPosition, wxDefaultSize,
         wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX);

  status_ = new wxStaticText(this, wxID_ANY, text::kClickUpdate, wxDefaultPosition,
                             wxSize(kTextWidth, -1), wxST_NO_AUTORESIZE);
  progress_ = new wxGauge(this, kProgressId, 100, wxDefaultPosition, wxSize(kTextWidth, -1));
  progress_->Hide();
  warning_ = new wxStaticText(this, wxID_ANY, "", wxDefaultPosition, wxSize(kTextWidth, -1));
  warning_->Hide();
  update_ = new wxButton(this, kUpdateId, text::kUpdateButton);
  exit_ = new wxButton(this, kExitId, text::kExitButton);

  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  buttons->Add(update_, 0, wxRIGHT, kBorder);
  buttons->Add(exit_);
  auto* column = new wxBoxSizer(wxVERTICAL);
  column->Add(status_, 0, wxALL | wxEXPAND, kBorder);
  column->Add(progress_, 0, wxLEFT | wxRIGHT | wxEXPAND, kBorder);
  column->Add(warning_, 0, wxLEFT | wxRIGHT | wxTOP | wxEXPAND, kBorder);
  column->Add(buttons, 0, wxALL | wxALIGN_CENTER_HORIZONTAL, kBorder);
  SetSizerAndFit(column);

  update_->SetDefault();
  update_->SetFocus();
  SetAffirmativeId(kUpdateId);
  SetEscapeId(kExitId);
  Bind(
      wxEVT_BUTTON, [this](wxCommandEvent&) { logic_->onUpdate(); }, kUpdateId);
  Bind(
      wxEVT_BUTTON, [this](wxCommandEvent&) { logic_->onExit(); }, kExitId);
  Bind(wxEVT_CLOSE_WINDOW, &UpdaterDialog::onClose, this);
  Centre();
}

void UpdaterDialog::onClose(wxCloseEvent& event) {
  // The window manager's close box is "Exit", and like "Exit" it waits for a download to end.
  if (!logic_->mayClose() && event.CanVeto()) {
    event.Veto();
    return;
  }
  logic_->onExit();
}

void UpdaterDialog::setStatusText(const std::string& text) {
  status_->SetLabel(fromUtf8(text));
  Layout();
}

void UpdaterDialog::enableUpdate(bool enabled) {
  update_->Enable(enabled);
}

void UpdaterDialog::enableExit(bool enabled) {
  exit_->Enable(enabled);
}

void UpdaterDialog::showProgressBar(uint32_t rangeMax) {
  progress_->SetRange(static_cast<int>(rangeMax));
  progress_->SetValue(0);
  progress_->Show();
  GetSizer()->Fit(this);
  Layout();
}

void UpdaterDialog::setProgress(uint32_t position) {
  // Like the Windows progress bar, a position past the end shows as the end.
  const int range = progress_->GetRange();
  progress_->SetValue(static_cast<int>(std::min<uint32_t>(position, range)));
}

void UpdaterDialog::showMessage(const std::string& text, const std::string& caption) {
  wxMessageDialog box(IsShown() ? this : nullptr, fromUtf8(text), fromUtf8(caption), wxOK);
  box.ShowModal();
}

bool UpdaterDialog::ask(const Question& question) {
  wxMessageDialog box(this, fromUtf8(question.text), fromUtf8(question.caption),
                      wxYES_NO | wxICON_WARNING | (question.noIsDefault ? wxNO_DEFAULT : 0));
  return box.ShowModal() == wxID_YES;
}

std::optional<std::string> UpdaterDialog::askSaveFile(const SaveFileRequest& request) {
  wxString folder;
  if (request.startInDesktop) {
    folder = wxStandardPaths::Get().GetUserDir(wxStandardPaths::Dir_Desktop);
  }
  const wxString extension = fromUtf8(request.defaultExtension);
  long style = wxFD_SAVE;
  if (request.promptOverwrite) style |= wxFD_OVERWRITE_PROMPT;
  wxFileDialog dialog(this, fromUtf8(request.title), folder, fromUtf8(request.defaultName),
                      "*." + extension + "|*." + extension + "|*|*", style);
  if (dialog.ShowModal() != wxID_OK) return std::nullopt;
  wxFileName chosen(dialog.GetPath());
  if (!chosen.HasExt()) chosen.SetExt(extension);
  return std::string(chosen.GetFullPath().utf8_str());
}

void UpdaterDialog::showDownloadWarning(const std::string& text) {
  warning_->SetLabel(fromUtf8(text));
  warning_->Wrap(kTextWidth);
  warning_->Show(!text.empty());
  GetSizer()->Fit(this);
  Layout();
}

void UpdaterDialog::quit(int exitCode) {
  onQuit_(exitCode);
  Destroy();
}

void UpdaterDialog::postTask(std::function<void()> task) {
  CallAfter(std::move(task));
}

void UpdaterDialog::postProgress(uint32_t status, uint32_t percent) {
  CallAfter([this, status, percent] { logic_->onProgress(status, percent); });
}

void UpdaterDialog::showNoticeAndWait(const std::string& text, const std::atomic<bool>& cancelled) {
  auto closed = std::make_shared<std::promise<void>>();
  std::future<void> done = closed->get_future();
  CallAfter([this, text, closed] {
    showMessage(text, "");
    closed->set_value();
  });
  while (done.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready) {
    if (cancelled) return;
  }
}

}  // namespace updater
