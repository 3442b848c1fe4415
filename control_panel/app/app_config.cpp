#include "control_panel/app/app_config.h"

#include <wx/config.h>
#include <wx/fileconf.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/stdpaths.h>

#include <memory>

#include "control_panel/device/diagnostic_log.h"

namespace velmora {

const char kVendorName[] = "Corvane";
const char kApplicationName[] = "VelmoraControl PRO";

namespace {
constexpr char kLogDestinationKey[] = "VelmoraProLogDest";
constexpr char kZoomKey[] = "Zoom";
}  // namespace

void applyLogDestinationSetting() {
  // The XDG layout puts the file at ~/.config/<application>.conf beside other programs'.
  wxStandardPaths::Get().SetFileLayout(wxStandardPaths::FileLayout_XDG);
  // A setting that cannot be stored is no reason for an error box at start: the log stays off.
  wxLogNull quiet;
  wxFileName::Mkdir(wxStandardPaths::Get().GetUserConfigDir(), wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
  wxFileConfig config(kApplicationName, kVendorName, wxEmptyString, wxEmptyString,
                      wxCONFIG_USE_LOCAL_FILE);
  if (!config.Exists(kLogDestinationKey)) {
    config.Write(kLogDestinationKey, wxString());
    config.Flush();
  }
  const wxString value = config.Read(kLogDestinationKey, wxString());
  setLogDestination(logDestinationFromConfig(value.utf8_string()));
}

}  // namespace velmora

namespace velmora {

std::optional<std::string> readZoomSetting() {
  wxLogNull quiet;
  wxFileConfig config(kApplicationName, kVendorName, wxEmptyString, wxEmptyString,
                      wxCONFIG_USE_LOCAL_FILE);
  if (!config.Exists(kZoomKey)) return std::nullopt;
  return config.Read(kZoomKey, wxString()).utf8_string();
}

}  // namespace velmora
