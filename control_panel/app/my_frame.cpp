#include "control_panel/app/my_frame.h"

#include <wx/msgdlg.h>
#include <wx/statusbr.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <span>

#include "control_panel/app/about_text.h"
#include "control_panel/app/app_icon.h"
#include "control_panel/app/web_links.h"
#include "control_panel/hal/velmora_hal.h"
#include "control_panel/mixer/velmora_parameters.h"
#include "control_panel/toolkit/view.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/unit_coefficient_map.h"
#include "platform/win_error.h"

namespace velmora {
namespace {

constexpr char kTitle[] = "VelmoraControl PRO";
// Windows finds a program only by its whole file name.
#ifdef _WIN32
constexpr char kUpdaterProgram[] = "VelmoraProUpdater.exe";
#else
constexpr char kUpdaterProgram[] = "VelmoraProUpdater";
#endif
constexpr int kMenuShiftX = 3;
constexpr int kFloatMenuShiftY = 22;
constexpr int kNormalMenuShiftY = 29;

// The named flags must add up to the fixed style values.
static_assert(MyFrame::kFloatStyle == 0x20009804);
static_assert(MyFrame::kNormalStyle == 0x20001C00);

// Why a program could not be started, after its path.
const char* startFailureReason(uint32_t error) {
  switch (error) {
    case platform::win_error::FileNotFound:
    case platform::win_error::PathNotFound:
      return "is not there";
    case platform::win_error::AccessDenied:
      return "may not be run";
    case platform::win_error::BadExeFormat:
      return "is no program";
    case platform::win_error::Cancelled:
      return "needs the administrator rights that were turned down";
    default:
      return "could not be started";
  }
}

VelmoraHAL* hal() {
  return VelmoraHAL::Get();
}

int driverRate() {
  return hal() != nullptr ? hal()->GetSampleRate() : 0;
}

}  // namespace

MyFrame::MyFrame(PPlugIn* plugIn, MixerHost* host, MainLayouts* layouts, long style,
                 MyFrame* partner)
    : wxPluginGUIFrame(nullptr, 0, kTitle, style, true),
      plugIn_(plugIn),
      plugin_(plugIn != nullptr ? plugIn->plugin() : nullptr),
      host_(host),
      layouts_(layouts),
      partner_(partner),
      mainMenu_(std::make_unique<wxMenu>()),
      standaloneMenu_(new wxMenu) {
  setApplicationIcon(*this);
  CreateStatusBar(1, wxSTB_DEFAULT_STYLE, wxID_ANY, "status_line");
  mainMenu_->Append(wxID_ABOUT, "&About VelmoraControl PRO");
  mainMenu_->Append(kIdSupport, "Online &Support");
  mainMenu_->Append(kIdDownloads, "&Updates && downloads");
  mainMenu_->AppendSeparator();
  mainMenu_->Append(kIdUpdateFirmware, "Update Firmware...");
  mainMenu_->AppendSeparator();
  mainMenu_->AppendCheckItem(kIdDisableAdat, "&Disable ADATs for better CPU usage");
  mainMenu_->AppendSeparator();
  standaloneMenu_->AppendRadioItem(kIdMixing, "Mixing");
  standaloneMenu_->AppendRadioItem(kIdTracking, "Tracking");
  mainMenu_->Append(kIdStandalone, "Standalone &Mode", standaloneMenu_);
  mainMenu_->AppendCheckItem(kIdHardwareMonitoring, "Hardware &Monitoring");
  // The panel's keys, each also a command here, so that the menu tells them.
  mainMenu_->AppendSeparator();
  int shortcutId = kIdFirstShortcut;
  for (const PanelShortcut& shortcut : panelShortcuts()) {
    mainMenu_->Append(shortcutId++, wxString::FromUTF8(shortcut.menuLabel) + "\t" +
                                        wxString::FromUTF8(shortcut.keyLabel));
  }
  if (partner_ != nullptr) partner_->partner_ = this;
  Bind(wxEVT_MENU, &MyFrame::onCommand, this, wxID_ABOUT);
  Bind(wxEVT_MENU, &MyFrame::onCommand, this, wxID_EXIT);
  Bind(wxEVT_MENU, &MyFrame::onCommand, this, kIdSupport, kIdDownloads);
  Bind(wxEVT_MENU, &MyFrame::onCommand, this, kIdMixing, kIdHardwareMonitoring);
  Bind(wxEVT_MENU, &MyFrame::onCommand, this, kIdFirstUnit, kIdLastUnit);
  Bind(wxEVT_MENU, &MyFrame::onCommand, this, kIdFirstShortcut, kIdLastShortcut);
  Bind(wxEVT_CLOSE_WINDOW, &MyFrame::onCloseFrame, this);
  if (plugin_ != nullptr) plugin_->addObserver(this);
  ChooseLayout(false);
}

MyFrame::~MyFrame() {
  if (plugin_ != nullptr) plugin_->removeObserver(this);
  setPluginGUI(nullptr);
  // Closing either main window ends the program.
  if (partner_ != nullptr) {
    partner_->partner_ = nullptr;
    partner_->Destroy();
  }
}

void MyFrame::onCloseFrame(wxCloseEvent&) {
  Destroy();
}

void MyFrame::ChooseLayout(bool applyNow) {
  VelmoraGUI* chosen = nullptr;
  if (driverRate() > 96000) {
    chosen = layouts_->ac3Layout();
  } else if (plugIn_->getNormalised(param::kShrinkMode) != 0.0f) {
    chosen = layouts_->shrinkLayout();
  } else {
    chosen = layouts_->normalLayout();
  }
  if (chosen == current_) return;
  if (current_ != nullptr && getPluginGUI() == current_) setPluginGUI(nullptr);
  current_ = chosen;
  if (partner_ != nullptr) partner_->current_ = chosen;
  if (applyNow) ApplyLayout();
}

void MyFrame::sizePartnerToLayout() {
  if (partner_ == nullptr || current_ == nullptr || current_->getRoot() == nullptr) return;
  partner_->SetClientSize(current_->getRoot()->getWidth() * zoom(),
                          current_->getRoot()->getHeight() * zoom());
}

void MyFrame::ApplyLayout() {
  if (current_ == nullptr || current_->getRoot() == nullptr) return;
  sizePartnerToLayout();
  setPluginGUI(current_);
  ShowUnitName();
  Refresh();
  if (hal() != nullptr) {
    mainMenu_->Check(kIdHardwareMonitoring, hal()->IsHardwareMonitoring());
  }
}

void MyFrame::Refresh() {
  VelmoraHAL* unit = hal();
  const bool reduced = unit != nullptr && unit->ReducedModel();
  mainMenu_->Enable(kIdDisableAdat, VelmoraHAL::IsLargeModel());
  mainMenu_->Check(kIdDisableAdat, reduced);
  const bool tracking = unit != nullptr && unit->TrackingMode();
  standaloneMenu_->Check(tracking ? kIdTracking : kIdMixing, true);
  setAdatParameters(!reduced);
  plugIn_->setNormalised(param::kLargeModel, VelmoraHAL::IsLargeModel() ? 1.0f : 0.0f);
}

void MyFrame::setAdatParameters(bool adatOn) {
  const int rate = driverRate();
  plugIn_->setNormalised(param::kAdat1Available, adatOn && rate < 176400 ? 1.0f : 0.0f);
  plugIn_->setNormalised(param::kAdat2Available, adatOn && rate < 88200 ? 1.0f : 0.0f);
}

void MyFrame::ShowUnitName() {
  if (hal() == nullptr || current_ == nullptr) return;
  char name[17] = {};
  if (hal()->GetUnitName(hal()->CurrentSerial(), name)) current_->setUnitName(name);
}

void MyFrame::parameterChanged(int id) {
  // Both main windows observe the parameters; the one on screen acts for them.
  if (!IsShown()) return;
  switch (id) {
    case param::kFloatWindow:
    case param::kShrinkMode:
    case param::kExpandMode:
    case param::kAc3Passthrough:
    case param::kSampleRate:
    case param::kLogo:
    case param::kSelectUnit:
      // The change comes from inside a view's gesture or draw pass; swapping the layout or
      // opening a menu there would pull the layout from under it. React once it is over.
      CallAfter([this, id] { react(id); });
      return;
    default:
      return;
  }
}

void MyFrame::react(int id) {
  switch (id) {
    case param::kFloatWindow:
      swapFrames();
      break;
    case param::kShrinkMode:
      if (plugIn_->getNormalised(id) != 0.0f) {
        plugIn_->setNormalised(param::kExpandMode, 0.0f);
        ChooseLayout(true);
      }
      break;
    case param::kExpandMode:
      if (plugIn_->getNormalised(id) != 0.0f) {
        plugIn_->setNormalised(param::kShrinkMode, 0.0f);
        ChooseLayout(true);
      }
      break;
    case param::kAc3Passthrough:
    case param::kSampleRate:
      ChooseLayout(true);
      break;
    case param::kLogo:
      popUp(*mainMenu_);
      break;
    case param::kSelectUnit: {
      const std::unique_ptr<wxMenu> units = buildUnitMenu();
      popUp(*units);
      break;
    }
    default:
      break;
  }
}

void MyFrame::swapFrames() {
  if (partner_ == nullptr) {
    layouts_->partnerOf(*this);
    sizePartnerToLayout();  // as if it had been built with this frame
  }
  if (partner_ == nullptr) return;
  const wxRect mine = GetRect();
  const int partnerHeight = partner_->GetSize().GetHeight();
  partner_->SetSize(mine.x, mine.y + mine.height - partnerHeight, mine.width, mine.height);
  partner_->SetClientSize(GetClientSize());
  setPluginGUI(nullptr);
  Hide();
  partner_->Show();
  partner_->ApplyLayout();
}

wxPoint MyFrame::menuPosition(const wxPoint& mouse) {
  wxPoint at = mouse - GetPosition();
  // The shifts are panel pixels, like everything else about the panel.
  at.x -= kMenuShiftX * zoom();
  at.y -= (GetWindowStyleFlag() == kFloatStyle ? kFloatMenuShiftY : kNormalMenuShiftY) * zoom();
  return at;
}

void MyFrame::popUp(wxMenu& menu) {
  // Opened from the keyboard, the menu comes below the focused control, not at the pointer.
  const std::optional<wxPoint> anchor = keyboardMenuAnchor();
  PopupMenu(&menu, anchor ? *anchor : menuPosition(wxGetMousePosition()));
}

bool MyFrame::runShortcut(const PanelShortcut& shortcut) {
  if (current_ == nullptr || getPluginGUI() != current_) return false;
  noteKeyboardInput();
  return current_->runShortcut(shortcut);
}

std::unique_ptr<wxMenu> MyFrame::buildUnitMenu() {
  auto menu = std::make_unique<wxMenu>();
  const UnitSerial current = hal() != nullptr ? hal()->CurrentSerial() : kNoSuchUnit;
  for (size_t i = 0; i < VelmoraHAL::UnitCount(); ++i) {
    const UnitSerial serial = VelmoraHAL::SerialAt(i);
    char name[17] = {};
    char label[64] = {};
    if (hal() != nullptr && hal()->GetUnitName(serial, name) && name[0] != '\0') {
      std::snprintf(label, sizeof label, "%s (%4.4u)", name, serial.low & 0xFFFFu);
    } else {
      // A unit whose name cannot be read (or is blank) is still named by what it is.
      std::snprintf(label, sizeof label, "Velmora PRO %s (%4.4u)",
                    VelmoraHAL::IsStudioAt(i) ? "Studio" : "Compact", serial.low & 0xFFFFu);
    }
    const int id = kIdFirstUnit + static_cast<int>(i);
    menu->AppendRadioItem(id, label);
    if (serial == current) menu->Check(id, true);
  }
  return menu;
}

void MyFrame::onCommand(wxCommandEvent& event) {
  runCommand(event.GetId());
}

void MyFrame::runCommand(int id) {
  if (id >= kIdFirstUnit && id <= kIdLastUnit) return switchUnit(id - kIdFirstUnit);
  const std::span<const PanelShortcut> shortcuts = panelShortcuts();
  if (id >= kIdFirstShortcut && id < kIdFirstShortcut + static_cast<int>(shortcuts.size())) {
    runShortcut(shortcuts[static_cast<size_t>(id - kIdFirstShortcut)]);
    return;
  }
  switch (id) {
    case wxID_ABOUT:
      return showAbout();
    case wxID_EXIT:
      Close(true);
      return;
    case kIdDownloads:
      return openWebPage(kDownloadPageAddress);
    case kIdSupport:
      return openWebPage(kSupportPageAddress);
    case kIdMixing:
    case kIdTracking:
      return setStandalone(id == kIdTracking);
    case kIdDisableAdat:
      return toggleAdat();
    case kIdUpdateFirmware:
      return updateFirmware();
    case kIdHardwareMonitoring:
      return toggleHardwareMonitoring();
    default:
      return;
  }
}

void MyFrame::showAbout() {
  wxMessageBox(wxString::FromUTF8(aboutBoxText(hal())), kTitle, wxOK | wxICON_INFORMATION, this);
}

void MyFrame::switchUnit(int index) {
  if (index < 0 || static_cast<size_t>(index) >= VelmoraHAL::UnitCount()) return;
  if (hal() != nullptr && VelmoraHAL::SerialAt(index) == hal()->CurrentSerial() &&
      hal()->IsOpen()) {
    return;  // already the unit shown: nothing to save or reopen
  }
  host_->changeUnit(static_cast<size_t>(index));
}

void MyFrame::setStandalone(bool tracking) {
  standaloneMenu_->Check(tracking ? kIdTracking : kIdMixing, true);
  if (hal() != nullptr) hal()->SetStandaloneMode(tracking);
}

void MyFrame::toggleAdat() {
  if (hal() == nullptr) return;
  const bool disable = !hal()->ReducedModel();
  mainMenu_->Check(kIdDisableAdat, disable);
  setAdatParameters(!disable);
  plugIn_->setNormalised(param::kSyncLocked, 0.0f);
  hal()->SetReducedAVCModel(disable);
  ChooseLayout(true);
}

void MyFrame::toggleHardwareMonitoring() {
  if (hal() == nullptr) return;
  const CoefficientValue value{platform::coeff::COEFF_HW_MONITORING,
                               hal()->IsHardwareMonitoring() ? 0u : 0xFFFFFFFFu};
  hal()->SetValues(&value, 1);
  mainMenu_->Check(kIdHardwareMonitoring, hal()->IsHardwareMonitoring());
}

void MyFrame::updateFirmware() {
  const std::string updater =
      !updaterPath_.empty()
          ? updaterPath_
          : (std::filesystem::path(platform::executablePath()).parent_path() / kUpdaterProgram)
                .string();
  std::error_code error;
  if (!std::filesystem::exists(updater, error)) {
    return showUpdaterFailure("there is no " + updater + ".");
  }
  // The updater needs the unit to itself; the panel lets go of it first and ends once the
  // updater runs.
  if (hal() != nullptr) hal()->Close();
  if (const uint32_t failure = platform::startProgram(updater, {}); failure != 0) {
    if (hal() != nullptr) hal()->EnsureOpen();
    return showUpdaterFailure(updater + " " + startFailureReason(failure) + " (error " +
                              std::to_string(failure) + ").");
  }
  Close(true);
}

void MyFrame::openWebPage(const char* address) {
  if (const uint32_t failure = platform::openWebAddress(address); failure != 0) {
    wxMessageBox(
        wxString::FromUTF8(std::string("The web page ") + address + " could not be opened (error " +
                           std::to_string(failure) + ")."),
        kTitle, wxOK | wxICON_ERROR, this);
  }
}

void MyFrame::showUpdaterFailure(const std::string& why) {
  wxMessageBox(wxString::FromUTF8("The firmware updater could not be started: " + why), kTitle,
               wxOK | wxICON_ERROR, this);
}

}  // namespace velmora
