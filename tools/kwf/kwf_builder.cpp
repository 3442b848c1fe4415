#include "tools/kwf/kwf_builder.h"

#include <algorithm>
#include <span>

#include "fwdl/kwf_format.h"
#include "fwdl/little_endian.h"
#include "platform/crc32.h"

namespace tools::kwf {

namespace layout = fwdl::kwf;

namespace {

void PutWord(std::vector<uint8_t>& file, size_t offset, uint32_t value) {
  fwdl::StoreLe32(file.data() + offset, value);
}

void PutChars(std::vector<uint8_t>& file, size_t offset, const std::string& text) {
  std::copy(text.begin(), text.end(), file.begin() + static_cast<std::ptrdiff_t>(offset));
}

bool Fail(std::string* error, const std::string& message) {
  if (error != nullptr) *error = message;
  return false;
}

bool Check(const KwfSpec& spec, std::string* error) {
  if (spec.version > 1) return Fail(error, "the version is 0 or 1");
  if (spec.identifier && spec.identifier->size() != 4) {
    return Fail(error, "the identifier has 4 characters");
  }
  if (spec.buildDate.size() != layout::kStampLength ||
      spec.buildTime.size() != layout::kStampLength) {
    return Fail(error, "build date and build time have 8 characters each");
  }
  if (spec.nodeVendorId > 0xFFFFFF) return Fail(error, "the vendor id has 24 bits");
  const size_t headerSize = layout::HeaderSize(spec.version);
  for (const auto& [offset, value] : spec.headerWords) {
    if (offset + size_t{4} > headerSize) {
      return Fail(error, "header word at " + std::to_string(offset) + " lies outside the " +
                             std::to_string(headerSize) + "-byte header");
    }
  }
  return true;
}

uint32_t Size32(size_t size) {
  return static_cast<uint32_t>(size);
}

void StoreHeaderCrc(std::vector<uint8_t>& file, size_t headerSize) {
  PutWord(file, layout::kHeaderCrc, 0);
  PutWord(file, layout::kHeaderCrc, platform::crc32(std::span(file.data(), headerSize)));
}

}  // namespace

std::optional<std::vector<uint8_t>> BuildKwf(const KwfSpec& spec, std::string* error) {
  if (!Check(spec, error)) return std::nullopt;
  const size_t headerSize = layout::HeaderSize(spec.version);
  std::vector<uint8_t> file(headerSize, 0);
  file.insert(file.end(), spec.infoText.begin(), spec.infoText.end());

  const std::vector<uint8_t> none;
  const std::vector<uint8_t>& image1 = spec.image1 ? *spec.image1 : none;
  const std::vector<uint8_t>& cnE = spec.cnE ? *spec.cnE : none;
  const uint32_t image1At = spec.image1 ? Size32(file.size()) : 0;
  file.insert(file.end(), image1.begin(), image1.end());
  const uint32_t cnEAt = spec.cnE ? Size32(file.size()) : 0;
  file.insert(file.end(), cnE.begin(), cnE.end());
  file.insert(file.end(), spec.trailer.begin(), spec.trailer.end());

  PutChars(file, layout::kIdentifier,
           spec.identifier.value_or(
               std::string(spec.version == 0 ? layout::kIdentifierV0 : layout::kIdentifierV1)));
  PutWord(file, layout::kFileKind, spec.fileKind);
  PutChars(file, layout::kBuildDate, spec.buildDate);
  PutChars(file, layout::kBuildTime, spec.buildTime);
  PutWord(file, layout::kSoftwareId, spec.softwareId);
  PutWord(file, layout::kFirmwareVersion, spec.firmwareVersion);
  PutWord(file, layout::kCompatibleHardwareVersion, spec.compatibleHardwareVersion);
  PutWord(file, layout::kNodeVendorId, spec.nodeVendorId | uint32_t{spec.reserved} << 24);
  PutWord(file, layout::kFileVersion, spec.fileVersionField.value_or(spec.version));
  PutWord(file, layout::kImage1Offset, spec.image1Offset.value_or(image1At));
  PutWord(file, layout::kImage1Address, spec.image1Address);
  PutWord(file, layout::kImage1Length, spec.image1Length.value_or(Size32(image1.size())));
  PutWord(file, layout::kImage1Crc, spec.image1Crc.value_or(platform::crc32(image1)));
  PutWord(file, layout::kObject2Offset, spec.object2Offset);
  PutWord(file, layout::kCnEOffset, spec.cnEOffset.value_or(cnEAt));
  PutWord(file, layout::kCnELength, spec.cnELength.value_or(Size32(cnE.size())));
  PutWord(file, layout::kCnECrc, spec.cnECrc.value_or(platform::crc32(cnE)));
  for (const auto& [offset, value] : spec.headerWords) PutWord(file, offset, value);

  StoreHeaderCrc(file, headerSize);
  if (spec.headerCrc) PutWord(file, layout::kHeaderCrc, *spec.headerCrc);
  return file;
}

bool SealHeader(std::vector<uint8_t>& file) {
  if (file.size() < layout::kCommonSize) return false;
  const bool versionZero =
      std::equal(layout::kIdentifierV0.begin(), layout::kIdentifierV0.end(), file.begin());
  const size_t headerSize = versionZero ? layout::kV0HeaderSize : layout::kV1HeaderSize;
  if (file.size() < headerSize) return false;
  StoreHeaderCrc(file, headerSize);
  return true;
}

std::vector<uint8_t> GeneratedPayload(uint32_t length, uint32_t seed) {
  std::vector<uint8_t> bytes(length);
  uint32_t state = seed != 0 ? seed : 0x9E3779B9u;  // xorshift never leaves zero
  for (uint8_t& byte : bytes) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    byte = static_cast<uint8_t>(state >> 24);
  }
  return bytes;
}

}  // namespace tools::kwf
