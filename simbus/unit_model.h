// Fixed facts of the simulated units: models, identity, address map and AV/C constants.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/unit_info_block.h"
#include "platform/vhpd_protocol.h"

namespace simbus {

// Field offsets of the information block.
namespace info = platform::unit_info;

enum class Model : uint32_t { Studio = 0x13, Compact = 0x14 };

std::string_view modelName(Model model);                 // "Studio" or "Compact"
std::optional<Model> parseModel(std::string_view text);  // "studio"/"compact", any case

// Upper 24 bits of every unit's unique id; also the AV/C company id of these units.
inline constexpr uint32_t kVendorId = 0x7A1394;
inline constexpr uint32_t kDefaultSerialHigh = kVendorId << 8;
inline constexpr uint32_t kDefaultProtocol = 3;
inline constexpr uint32_t kDefaultFirmware = 0x02000FA0;  // 2.0.4000

// Firmware versions as "major.minor.build" (bits 31-24, 23-16, 15-0).
std::string formatFirmware(uint32_t version);
std::optional<uint32_t> parseFirmware(std::string_view text);

// Address map of a unit (48-bit offsets).
inline constexpr size_t kCoefficientCount = 256;
inline constexpr uint64_t kCoefficientBase = platform::vhpd::busAddress(0x0001, 0x00000000);
inline constexpr uint64_t kBlockSetMailbox = platform::vhpd::busAddress(0x0001, 0x00010000);
inline constexpr size_t kBlockSetMaxPairs = 128;
inline constexpr uint64_t kInfoBlockAddress =
    platform::vhpd::busAddress(info::kAddressHigh, info::kAddressLow);
inline constexpr size_t kInfoBlockSize = info::kSize;

// Coefficients the unit's firmware gives a meaning to.
namespace coefficient {
inline constexpr size_t kKnob = 86;  // front-panel knob, dim and mute
inline constexpr size_t kDim = 87;
inline constexpr size_t kMute = 88;
inline constexpr size_t kSampleRateCode = 84;  // 1-6: 44.1, 48, 88.2, 96, 176.4, 192 kHz
inline constexpr size_t kSync = 93;            // bits 0-7 selected, 8-15 in use
inline constexpr size_t kNameFirst = 94;       // 94-97, four characters each, first in bits 31-24
inline constexpr size_t kPhantom1to4 = 98;
inline constexpr size_t kPhantom5to8 = 99;
inline constexpr size_t kAc3 = 103;
inline constexpr size_t kStoreToFlash = 108;  // write 0
inline constexpr size_t kStatus = 110;        // play/record/write OK, standalone, lock bits
inline constexpr size_t kStandaloneMode = 111;
inline constexpr size_t kAdatOff = 112;
inline constexpr size_t kReleaseStandalone = 114;  // write 0xA5A5
inline constexpr size_t kHardwareMonitoring = 118;
}  // namespace coefficient

// The buttons on the unit's front panel; each press toggles.
enum class FrontPanelButton : uint8_t { Dim = 0, Mute = 1 };

// Clock inputs whose lock the unit reports.
enum class SyncInput : uint8_t { Spdif = 2, Adat1 = 3, Adat2 = 4, Wordclock = 5 };
std::optional<SyncInput> parseSyncInput(std::string_view text);  // spdif, adat1, adat2, wordclock
std::string_view syncInputName(SyncInput input);

// AV/C vendor-dependent coefficient command.
namespace avc {
inline constexpr uint8_t kCtypeControl = 0x00;
inline constexpr uint8_t kCtypeStatus = 0x01;
inline constexpr uint8_t kResponseNotImplemented = 0x08;
inline constexpr uint8_t kResponseAccepted = 0x09;
inline constexpr uint8_t kResponseRejected = 0x0A;
inline constexpr uint8_t kResponseStable = 0x0C;
inline constexpr uint8_t kSubunitUnit = 0xFF;
inline constexpr uint8_t kOpcodeVendorDependent = 0x00;
inline constexpr uint8_t kCoefficientCommand = 0x03;
inline constexpr size_t kHeaderSize = 8;
inline constexpr size_t kPairSize = 8;
}  // namespace avc

}  // namespace simbus
