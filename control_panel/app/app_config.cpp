#include "control_panel/app/app_config.h"

#include <wx/config.h>
#include <wx/fileconf.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/stdpaths.h>
#ifdef __WXMSW__
#include <wx/msw/regconf.h>
#endif

#include <memory>

#include "control_panel/device/diagnostic_log.h"

namespace velmora {

const char kVendorName[] = "Corvane";
const char kApplicationName[] = "VelmoraControl PRO";

namespace {
constexpr char kLogDestinationKey[] = "VelmoraProLogDest";
constexpr char kZoomKey[] = "Zoom";

// On Windows the settings live in the registry (HKEY_CURRENT_USER, key Software, Corvane,
// VelmoraControl PRO); elsewhere in the per-user configuration file.
std::unique_ptr<wxConfigBase> openConfig() {
#ifdef __WXMSW__
  return std::make_unique<wxRegConfig>(kApplicationName, kVendorName);
#else
  return std::make_unique<wxFileConfig>(kApplicationName, kVendorName, wxEmptyString, wxEmptyString,
                                        wxCONFIG_USE_LOCAL_FILE);
#endif
}
}  // namespace

void applyLogDestinationSetting() {
#ifndef __WXMSW__
  // The XDG layout puts the file at ~/.config/<application>.conf beside other programs'.
  wxStandardPaths::Get().SetFileLayout(wxStandardPaths::FileLayout_XDG);
#endif
  // A setting that cannot be stored is no reason for an error box at start: the log stays off.
  wxLogNull quiet;
#ifndef __WXMSW__
  wxFileName::Mkdir(wxStandardPaths::Get().GetUserConfigDir(), wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
#endif
  const std::unique_ptr<wxConfigBase> config = openConfig();
  if (!config->Exists(kLogDestinationKey)) {
    config->Write(kLogDestinationKey, wxString());
    config->Flush();
  }
  const wxString value = config->Read(kLogDestinationKey, wxString());
  setLogDestination(logDestinationFromConfig(value.utf8_string()));
}

}  // namespace velmora

namespace velmora {

std::optional<std::string> readZoomSetting() {
  wxLogNull quiet;
  const std::unique_ptr<wxConfigBase> config = openConfig();
  if (!config->Exists(kZoomKey)) return std::nullopt;
  return config->Read(kZoomKey, wxString()).utf8_string();
}

}  // namespace velmora
