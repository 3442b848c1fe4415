// The control panel's one setting, "VelmoraProLogDest", in the per-user configuration file
// (vendor "Corvane", application "VelmoraControl PRO", in the XDG configuration folder).
#pragma once

namespace velmora {

extern const char kVendorName[];
extern const char kApplicationName[];

// Creates the key empty when it is missing, reads it and sets the diagnostic log's
// destination.
void applyLogDestinationSetting();

}  // namespace velmora
