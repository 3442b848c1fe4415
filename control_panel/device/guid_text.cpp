#include "control_panel/device/guid_text.h"

#include <array>
#include <cstring>

namespace velmora {

namespace {

uint8_t hexDigit(char c) {
  if (c >= '0' && c <= '9') return static_cast<uint8_t>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<uint8_t>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<uint8_t>(c - 'A' + 10);
  return 0;
}

}  // namespace

bool GuidFromText(const char* text, platform::vhpd::Guid& guid) {
  guid = {};
  if (!text) return false;
  constexpr std::array<size_t, 4> kGroupSizes{4, 2, 2, 8};
  std::array<uint8_t, 16> bytes{};
  const size_t length = std::strlen(text);
  size_t pos = length > 0 ? 1 : 0;  // after the opening brace
  size_t out = 0;
  for (size_t g = 0; g < kGroupSizes.size(); ++g) {
    std::array<uint8_t, 8> group{};
    for (size_t i = 0; i < kGroupSizes[g]; ++i) {
      if (pos < length && text[pos] == '-') ++pos;
      const char high = pos < length ? text[pos++] : '\0';
      const char low = pos < length ? text[pos++] : '\0';
      group[i] = static_cast<uint8_t>(hexDigit(high) << 4 | hexDigit(low));
    }
    // The first three groups are stored byte-reversed: they are little-endian fields.
    for (size_t i = 0; i < kGroupSizes[g]; ++i) {
      bytes[out++] = g < 3 ? group[kGroupSizes[g] - 1 - i] : group[i];
    }
  }
  if (pos >= length || text[pos] != '}') return false;
  std::memcpy(&guid.data1, bytes.data(), 4);
  std::memcpy(&guid.data2, bytes.data() + 4, 2);
  std::memcpy(&guid.data3, bytes.data() + 6, 2);
  std::memcpy(guid.data4.data(), bytes.data() + 8, 8);
  return true;
}

}  // namespace velmora
