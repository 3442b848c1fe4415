#include "control_panel/app/first_paint_stamp.h"

#include <wx/utils.h>

#include <chrono>
#include <cstdio>

namespace velmora {

void stampFirstPaint() {
  static bool stamped = false;
  if (stamped) return;
  stamped = true;
  if (!wxGetEnv("VELMORA_FIRST_PAINT_STAMP", nullptr)) return;
  const auto since1970 = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::system_clock::now().time_since_epoch());
  std::fprintf(stderr, "VelmoraControl: first paint at %lld\n",
               static_cast<long long>(since1970.count()));
}

}  // namespace velmora
