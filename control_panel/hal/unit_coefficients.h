// The hardware abstraction's view of the unit's coefficients: the coefficient map, the
// sample-rate codes and the sync sources.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/unit_coefficient_map.h"

namespace velmora {

// The unit's coefficient map and status word bits, under the names the hardware abstraction
// uses.
namespace coeff = platform::coeff;
namespace digips = platform::coeff::digips;

// Sample-rate codes 1-6; 7 for a rate not in the list.
inline constexpr uint32_t kSampleRates[] = {44100, 48000, 88200, 96000, 176400, 192000};
inline constexpr uint32_t kUnlistedRateCode = 7;
uint32_t SampleRateCode(uint32_t hz);
// The rate of a code, 0 for a code outside 1-6.
uint32_t SampleRateOfCode(uint32_t code);
// 1: 44.1/48 kHz, 2: 88.2/96 kHz, 3: 176.4/192 kHz, 4: an unlisted rate.
inline uint32_t RateBand(uint32_t code) {
  return (code + 1) / 2;
}

enum SyncSource : int {
  kSyncInternal = 0,
  kSyncSpdif = 2,
  kSyncAdat1 = 3,
  kSyncAdat2 = 4,
  kSyncWordclock = 5,
};
// "internal", "S/PDIF", "ADAT 1", "ADAT 2", "wordclock"; empty for other codes.
std::string_view SyncSourceName(int code);

}  // namespace velmora
