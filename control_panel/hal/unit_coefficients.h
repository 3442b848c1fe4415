// The unit's coefficients the hardware abstraction uses, its sample-rate codes and its sync
// sources.
#pragma once

#include <cstdint>
#include <string_view>

namespace velmora {

namespace coeff {
inline constexpr uint32_t COEFF_SAMPLE_RATE = 84;
inline constexpr uint32_t COEFF_HW_MUTE_12 = 88;  // hardware mute of output pair 1+2
inline constexpr uint32_t COEFF_TEST = 90;
inline constexpr uint32_t COEFF_SYNC = 93;  // bits 0-7 selected, bits 8-15 in use
inline constexpr uint32_t COEFF_NAME = 94;  // 94-97, four characters each
inline constexpr uint32_t COEFF_NAME_WORDS = 4;
inline constexpr uint32_t COEFF_PHANTOM_1_4 = 98;
inline constexpr uint32_t COEFF_PHANTOM_5_8 = 99;
inline constexpr uint32_t COEFF_AC3 = 103;
inline constexpr uint32_t COEFF_SAVE_TO_CNE = 108;
inline constexpr uint32_t COEFF_DIGIPS = 110;  // status word
inline constexpr uint32_t COEFF_STANDALONE = 111;
inline constexpr uint32_t COEFF_REDUCED_MODEL = 112;
inline constexpr uint32_t COEFF_RELEASE_STANDALONE = 114;
inline constexpr uint32_t COEFF_OPENED = 117;
inline constexpr uint32_t COEFF_HW_MONITORING = 118;

inline constexpr uint32_t kReleaseStandaloneValue = 0xA5A5;
inline constexpr uint32_t kOpenedValue = 18;
}  // namespace coeff

// Status word bits.
namespace digips {
inline constexpr uint32_t kPlayOk = 1u << 0;
inline constexpr uint32_t kRecordOk = 1u << 1;
inline constexpr uint32_t kWriteOk = 1u << 2;
inline constexpr uint32_t kStandalone = 1u << 3;
inline constexpr int kSpdifLockShift = 8;  // bits 8-9, 1 = locked
inline constexpr int kAdat1LockShift = 16;
inline constexpr int kAdat2LockShift = 24;
}  // namespace digips

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
