// The control panel's settings, "VelmoraProLogDest" and "Zoom", in the per-user configuration file
// (vendor "Corvane", application "VelmoraControl PRO", in the XDG configuration folder; on
// Windows in the registry).
#pragma once

#include <optional>
#include <string>

namespace velmora {

extern const char kVendorName[];
extern const char kApplicationName[];

// Creates the key empty when it is missing, reads it and sets the diagnostic log's
// destination.
void applyLogDestinationSetting();

// The "Zoom" value as written, when there is one (never created: the display decides).
std::optional<std::string> readZoomSetting();

}  // namespace velmora
