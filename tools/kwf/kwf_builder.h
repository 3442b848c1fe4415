// Writing firmware files (".KWF") of version 0 and 1 from their payload, with every header
// field settable so that tests can also make files that are wrong on purpose.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tools::kwf {

// What a firmware file is made of. Offsets, lengths and CRCs left empty are derived from the
// layout: header, info text, image 1, CnE block, trailer.
struct KwfSpec {
  uint32_t version = 1;                   // 0 "kWfM" (96-byte header) or 1 "KwFm" (112 bytes)
  std::optional<std::string> identifier;  // 4 characters instead of the version's
  uint32_t fileKind = 1;
  std::string buildDate = "20240101";  // 8 characters, no terminator
  std::string buildTime = "000000  ";  // 8 characters, no terminator
  uint32_t softwareId = 0;
  uint32_t firmwareVersion = 0;
  uint32_t compatibleHardwareVersion = 0;
  uint32_t nodeVendorId = 0;  // 24 bits
  uint8_t reserved = 0;
  std::optional<uint32_t> fileVersionField;  // header word 40; the version by default
  uint32_t image1Address = 0;
  uint32_t object2Offset = 0;
  std::optional<uint32_t> image1Offset;
  std::optional<uint32_t> image1Length;
  std::optional<uint32_t> image1Crc;
  std::optional<uint32_t> cnEOffset;
  std::optional<uint32_t> cnELength;
  std::optional<uint32_t> cnECrc;
  // Words written over the header after every field, before the header CRC: the bytes no
  // field names, or anything a test wants different.
  std::vector<std::pair<uint32_t, uint32_t>> headerWords;  // offset, value
  std::optional<uint32_t> headerCrc;                       // stored instead of the right one

  std::string infoText;  // the bytes right after the header, a terminator included if wanted
  std::optional<std::vector<uint8_t>> image1;  // none: Image1Offset 0
  std::optional<std::vector<uint8_t>> cnE;     // none: CnEOffset 0
  std::vector<uint8_t> trailer;                // after the objects, e.g. 0xFF padding
};

// The file's bytes, or nothing with `error` set when the spec cannot be laid out.
std::optional<std::vector<uint8_t>> BuildKwf(const KwfSpec& spec, std::string* error = nullptr);

// Puts the right CRC into the header of `file` after its header bytes were changed; the header
// size follows the identifier. False when `file` has no complete header.
bool SealHeader(std::vector<uint8_t>& file);

// `length` bytes of a fixed pseudo-random sequence picked by `seed`: payload whose contents
// are the same on every build.
std::vector<uint8_t> GeneratedPayload(uint32_t length, uint32_t seed);

}  // namespace tools::kwf
