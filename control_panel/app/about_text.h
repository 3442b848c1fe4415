// The text of the about box: the program's version, then the connected unit's model and
// firmware version as the hardware abstraction reads them, then the closing notice.
#pragma once

#include <string>

namespace velmora {

class VelmoraHAL;

inline constexpr char kProgramVersion[] = "2.6";

// `hal` may be null (no hardware abstraction yet): the text then says no unit is connected.
std::string aboutBoxText(VelmoraHAL* hal);

}  // namespace velmora
