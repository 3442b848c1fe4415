#include "control_panel/mixer/mix_file_format.h"

#include <cstdio>
#include <cstring>

#include "platform/paths.h"
#include "platform/vhpd_protocol.h"

namespace velmora {

namespace pv = platform::vhpd;

namespace {

constexpr uint32_t kChunkCount = 1;
constexpr uint32_t kParameterChunkId = 0;
constexpr size_t kChunkOffset = 20;
constexpr size_t kChunkHeaderSize = 12;  // id, length, checksum
constexpr size_t kFileChecksumWord = 3;

uint32_t floatBits(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, 4);
  return bits;
}

float bitsFloat(uint32_t bits) {
  float value;
  std::memcpy(&value, &bits, 4);
  return value;
}

// The sum of `count` words from byte `offset`, with the word at byte `skip` taken as 0.
uint32_t checksum(std::span<const uint8_t> bytes, size_t offset, size_t count, size_t skip) {
  uint32_t sum = 0;
  for (size_t i = 0; i < count; ++i) {
    const size_t at = offset + 4 * i;
    if (at != skip) sum += pv::loadLe32(bytes.data() + at);
  }
  return sum;
}

}  // namespace

std::vector<uint8_t> EncodeMixFile(const std::vector<float>& values) {
  const size_t n = values.size();
  std::vector<uint8_t> bytes(kMixFileHeaderSize + 4 * n, 0);
  auto put = [&](size_t word, uint32_t value) { pv::storeLe32(bytes.data() + 4 * word, value); };
  put(0, kMixFileFormatId);
  put(1, kMixFileVersion);
  put(2, static_cast<uint32_t>(bytes.size()));
  put(4, kChunkCount);
  put(5, kParameterChunkId);
  put(6, static_cast<uint32_t>(kChunkHeaderSize + 4 * n));
  for (size_t i = 0; i < n; ++i) put(8 + i, floatBits(values[i]));
  // The chunk's checksum first, then the file's over the finished words.
  put(7, checksum(bytes, kChunkOffset, 3 + n, kChunkOffset + 8));
  put(kFileChecksumWord, checksum(bytes, 0, bytes.size() / 4, 4 * kFileChecksumWord));
  return bytes;
}

DecodedMixFile DecodeMixFile(std::span<const uint8_t> bytes, size_t parameterCount) {
  DecodedMixFile result;
  const size_t size = bytes.size() / 4 * 4;
  auto word = [&](size_t at) { return pv::loadLe32(bytes.data() + at); };
  if (size >= 8 && (word(0) != kMixFileFormatId || word(4) != kMixFileVersion)) {
    result.check = MixFileCheck::TooOld;
    return result;
  }
  // A file too short for its header has no length to trust.
  if (size < kMixFileHeaderSize || word(8) != size) {
    result.check = MixFileCheck::WrongLength;
    return result;
  }
  if (checksum(bytes, 0, size / 4, 4 * kFileChecksumWord) != word(4 * kFileChecksumWord)) {
    return result;  // corrupt
  }
  const uint32_t chunks = word(16);
  const size_t longest = kChunkHeaderSize + 4 * parameterCount;
  size_t offset = kChunkOffset;
  size_t firstLength = 0;
  for (uint32_t c = 0; c < chunks; ++c) {
    if (offset + kChunkHeaderSize > size) return result;
    const uint32_t length = word(offset + 4);
    if (word(offset) != kParameterChunkId || length < kChunkHeaderSize || length > longest ||
        length % 4 != 0 || length > size - offset ||
        checksum(bytes, offset, length / 4, offset + 8) != word(offset + 8)) {
      return result;
    }
    if (c == 0) firstLength = length;
    offset += length;
  }
  // Values only from a file that passed every check.
  for (size_t at = kChunkOffset + kChunkHeaderSize; at < kChunkOffset + firstLength; at += 4) {
    result.values.push_back(bitsFloat(word(at)));
  }
  result.check = MixFileCheck::Ok;
  return result;
}

const char* MixFileMessage(MixFileCheck check) {
  switch (check) {
    case MixFileCheck::TooOld:
      return "Sorry, but this file is too old, and is no longer supported! We've had to change "
             "the file format to make it more robust and work better! Any new files you create "
             "will work ok though.";
    case MixFileCheck::WrongLength:
      return "This file has the wrong length.";
    case MixFileCheck::Corrupt:
      return "This file is corrupt.";
    case MixFileCheck::Ok:
      break;
  }
  return "";
}

std::string defaultMixFilePath(uint32_t idLow, uint32_t idHigh) {
  std::string name = "VelmoraProDefault";
  if ((idLow & idHigh) != 0xFFFFFFFF) {
    char number[16];
    std::snprintf(number, sizeof number, ".%04d", static_cast<int>(idLow & 0xFFFF));
    name += number;
  }
  return platform::joinPath(platform::appDataFolder(), name + ".vmpro");
}

}  // namespace velmora
