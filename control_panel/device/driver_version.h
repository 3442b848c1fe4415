// The driver interface versions the control panel works with.
#pragma once

#include <cstdint>

namespace velmora {

// Interface 2.13 or any later 2.x: byte 0 of the driver information must be 2 and byte 1 at
// least 13.
constexpr bool IsSupportedDriverVersion(uint8_t major, uint8_t minor) {
  return major == 2 && minor >= 13;
}

}  // namespace velmora
