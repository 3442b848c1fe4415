#include "control_panel/app/wx_user_interface.h"

#include <wx/app.h>
#include <wx/filedlg.h>
#include <wx/msgdlg.h>

#include "control_panel/app/name_dialog.h"

namespace velmora {
namespace {
constexpr char kMixWildcard[] = "Velmora PRO Mix files (*.vmpro)|*.vmpro";
}

void WxUserInterface::ShowStatus(const std::string& text) {
  status_ = text;
  windows_.SetStatusText(text);
}

void WxUserInterface::ShowMessageBox(const std::string& text, const std::string& caption) {
  wxMessageBox(wxString::FromUTF8(text), wxString::FromUTF8(caption), wxOK | wxCENTRE);
}

void WxUserInterface::RunAfterEvent(std::function<void()> dialog) {
  wxTheApp->CallAfter(std::move(dialog));
}

int WxUserInterface::showModal(wxDialog& dialog) {
  openDialog_ = &dialog;
  const int answer = dialog.ShowModal();
  openDialog_ = nullptr;
  return answer;
}

void WxUserInterface::cancelOpenDialog() {
  if (openDialog_ != nullptr && openDialog_->IsModal()) openDialog_->EndModal(wxID_CANCEL);
}

void WxUserInterface::DetachPanel() {
  if (MyFrame* frame = windows_.CurrentMainFrame()) frame->setPluginGUI(nullptr);
}

void WxUserInterface::ReattachPanel() {
  if (MyFrame* frame = windows_.CurrentMainFrame()) frame->ApplyLayout();
}

std::optional<std::string> WxUserInterface::ChooseSaveFile() {
  wxFileDialog dialog(windows_.CurrentMainFrame(), "Save Velmora PRO Mix file", "", "",
                      kMixWildcard, wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
  if (showModal(dialog) != wxID_OK) return std::nullopt;
  return dialog.GetPath().utf8_string();
}

std::optional<std::string> WxUserInterface::ChooseLoadFile() {
  wxFileDialog dialog(windows_.CurrentMainFrame(), "Load Velmora PRO Mix file", "", "",
                      kMixWildcard, wxFD_OPEN | wxFD_FILE_MUST_EXIST);
  if (showModal(dialog) != wxID_OK) return std::nullopt;
  return dialog.GetPath().utf8_string();
}

std::optional<std::string> WxUserInterface::EditUnitName(const std::string& name) {
  CNameDialog dialog(windows_.CurrentMainFrame(), wxString::FromUTF8(name));
  if (showModal(dialog) != 0) return std::nullopt;
  return dialog.name().utf8_string();
}

bool WxUserInterface::AskYesNo(const std::string& text, const std::string& caption) {
  if (answer_) return answer_(text);
  return wxMessageBox(wxString::FromUTF8(text), wxString::FromUTF8(caption),
                      wxYES_NO | wxICON_QUESTION, windows_.CurrentMainFrame()) == wxYES;
}

void WxUserInterface::ShowErrorBox(const std::string& text, const std::string& caption) {
  wxMessageBox(wxString::FromUTF8(text), wxString::FromUTF8(caption), wxOK | wxICON_ERROR,
               windows_.CurrentMainFrame());
}

void WxUserInterface::ShowUnitName(const std::string& name) {
  windows_.forEachMainFrame([&](MyFrame& frame) {
    if (frame.currentLayout() != nullptr) frame.currentLayout()->setUnitName(name.c_str());
  });
}

void WxUserInterface::RefreshRateDependentState() {
  windows_.forEachMainFrame([](MyFrame& frame) { frame.Refresh(); });
}

bool WxUserInterface::IsFloatFrameShown() {
  return windows_.floatFrame() != nullptr && windows_.floatFrame()->IsShown();
}

void WxUserInterface::DetachLayouts() {
  windows_.forEachMainFrame([](MyFrame& frame) { frame.setPluginGUI(nullptr); });
}

void WxUserInterface::ShowSelectedFrame(bool) {
  windows_.showCurrentFrame();
}

}  // namespace velmora
