#include "control_panel/app/about_text.h"

#include <cstdio>

#include "control_panel/hal/velmora_hal.h"

namespace velmora {

std::string aboutBoxText(VelmoraHAL* hal) {
  std::string text = std::string("VelmoraControl PRO Version ") + kProgramVersion + "\n\n";
  int major = 0, minor = 0, build = 0;
  if (hal != nullptr && hal->GetKWFInfo(major, minor, build)) {
    char line[96];
    std::snprintf(line, sizeof line, "%s firmware Version %d.%d.%d\n",
                  VelmoraHAL::IsLargeModel() ? "Velmora PRO Studio" : "Velmora PRO Compact", major,
                  minor, build);
    text += line;
  } else {
    text += "No Velmora PRO connected\n";
  }
  return text + "\n\n(c) Corvane. Velmora PRO is a trademark of Corvane.";
}

}  // namespace velmora
