// The unit's coefficient map: what each coefficient index means, and the few values whose
// meaning the firmware fixes. Shared by everything that talks to a unit or models one, so the
// numbers live here only.
#pragma once

#include <cstdint>

namespace platform::coeff {

// ---- The mixer ----
inline constexpr uint32_t COEFF_INPUT_MIX = 0;  // 0-51: input mix gain, 2 * input + channel
inline constexpr uint32_t COEFF_INPUT_MIX_COUNT = 52;
inline constexpr uint32_t COEFF_ROUTING = 52;  // 52-79: output routing
inline constexpr uint32_t COEFF_ROUTING_COUNT = 28;
// Where each routing destination starts: outputs 1+2 (two slots per channel), 3+4, 5+6, 7+8
// and S/PDIF out (three slots per channel each).
inline constexpr uint32_t COEFF_ROUTING_DESTINATION[] = {52, 56, 62, 68, 74};
inline constexpr uint32_t COEFF_OUTPUT_WORD = 80;  // 80-83: control word of output pair k
inline constexpr uint32_t COEFF_FOLLOW_MASK = 85;
inline constexpr uint32_t COEFF_HW_KNOB = 86;  // read-only; the position is the low 8 bits
inline constexpr uint32_t COEFF_HW_DIM = 87;
inline constexpr uint32_t COEFF_HW_MUTE = 88;

// ---- The unit's state, modes and switches ----
inline constexpr uint32_t COEFF_SAMPLE_RATE = 84;  // rate code 1-6
inline constexpr uint32_t COEFF_TEST = 90;
inline constexpr uint32_t COEFF_PSU = 91;   // use the PSU for greater headroom
inline constexpr uint32_t COEFF_SYNC = 93;  // bits 0-7 selected, bits 8-15 in use
inline constexpr uint32_t COEFF_NAME = 94;  // 94-97, four characters each, first in bits 31-24
inline constexpr uint32_t COEFF_NAME_WORDS = 4;
inline constexpr uint32_t COEFF_PHANTOM_1_4 = 98;
inline constexpr uint32_t COEFF_PHANTOM_5_8 = 99;
inline constexpr uint32_t COEFF_INSERT_INPUT_1 = 100;  // input 5 as insert for input 1
inline constexpr uint32_t COEFF_INSERT_INPUT_2 = 101;  // input 6 as insert for input 2
inline constexpr uint32_t COEFF_IDENTIFY = 102;
inline constexpr uint32_t COEFF_AC3 = 103;
inline constexpr uint32_t COEFF_MIDI_THROUGH = 104;
inline constexpr uint32_t COEFF_SAVE_TO_CNE = 108;  // write 0: store the settings in flash
inline constexpr uint32_t COEFF_DIGIPS = 110;       // status word, the firmware's own
inline constexpr uint32_t COEFF_STANDALONE = 111;
inline constexpr uint32_t COEFF_REDUCED_MODEL = 112;  // ADAT inputs off
inline constexpr uint32_t COEFF_RELEASE_STANDALONE = 114;
inline constexpr uint32_t COEFF_OPENED = 117;
inline constexpr uint32_t COEFF_HW_MONITORING = 118;

// ---- Values ----
inline constexpr uint32_t kReleaseStandaloneValue = 0xA5A5;
inline constexpr uint32_t kOpenedValue = 18;

// Bits of the status word.
namespace digips {
inline constexpr uint32_t kPlayOk = 1u << 0;
inline constexpr uint32_t kRecordOk = 1u << 1;
inline constexpr uint32_t kWriteOk = 1u << 2;
inline constexpr uint32_t kStandalone = 1u << 3;
// Two bits per clock input, 1 = locked.
inline constexpr int kSpdifLockShift = 8;
inline constexpr int kAdat1LockShift = 16;
inline constexpr int kAdat2LockShift = 24;
}  // namespace digips

}  // namespace platform::coeff
