// The mix file (".vmpro"): the whole parameter set as normalised values, in 32-bit
// little-endian words with a file checksum and one checksummed chunk.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace velmora {

inline constexpr uint32_t kMixFileFormatId = 102;
inline constexpr uint32_t kMixFileVersion = 1;
inline constexpr size_t kMixFileHeaderSize = 32;

// The bytes of a mix file holding `values` (parameter 0 first).
std::vector<uint8_t> EncodeMixFile(const std::vector<float>& values);

enum class MixFileCheck {
  Ok,
  TooOld,       // another format id or version
  WrongLength,  // the stored length is not the file's, or the file is shorter than a header
  Corrupt,      // a checksum, a chunk id or a chunk length is wrong
};

struct DecodedMixFile {
  MixFileCheck check = MixFileCheck::Corrupt;
  std::vector<float> values;  // the first chunk's values, when Ok
};

// Checks a mix file's bytes the way loading does, reading nothing outside `bytes`.
// `parameterCount` bounds a chunk's length.
DecodedMixFile DecodeMixFile(std::span<const uint8_t> bytes, size_t parameterCount);

// The message shown for a rejected file; empty for Ok.
const char* MixFileMessage(MixFileCheck check);

// The unit's default mix file in the per-user application-data folder:
// "VelmoraProDefault.9029.vmpro" for a unit id whose low word is 0x00012345, and
// "VelmoraProDefault.vmpro" when (low AND high) is 0xFFFFFFFF.
std::string defaultMixFilePath(uint32_t idLow, uint32_t idHigh);

}  // namespace velmora
