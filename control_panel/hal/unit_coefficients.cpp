#include "control_panel/hal/unit_coefficients.h"

#include <array>
#include <utility>

namespace velmora {

uint32_t SampleRateCode(uint32_t hz) {
  for (uint32_t i = 0; i < std::size(kSampleRates); ++i) {
    if (kSampleRates[i] == hz) return i + 1;
  }
  return kUnlistedRateCode;
}

uint32_t SampleRateOfCode(uint32_t code) {
  return code >= 1 && code <= std::size(kSampleRates) ? kSampleRates[code - 1] : 0;
}

std::string_view SyncSourceName(int code) {
  static constexpr std::array<std::pair<int, std::string_view>, 5> kNames{{
      {kSyncInternal, "internal"},
      {kSyncSpdif, "S/PDIF"},
      {kSyncAdat1, "ADAT 1"},
      {kSyncAdat2, "ADAT 2"},
      {kSyncWordclock, "wordclock"},
  }};
  for (const auto& [value, name] : kNames) {
    if (value == code) return name;
  }
  return {};
}

}  // namespace velmora
