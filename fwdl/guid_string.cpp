#include "fwdl/guid_string.h"

#include <cstdio>
#include <cstring>
#include <string_view>

#include "fwdl/logging/library_log.h"

namespace fwdl {

namespace {

// What CLSIDFromString answers for text that is no GUID (CO_E_CLASSSTRING).
constexpr uint32_t kNotAGuid = 0x800401F3;

// The text is read up to this many characters, as it is widened for the parser.
constexpr size_t kMaxGuidText = 99;

bool HexDigits(std::string_view text, size_t count, uint64_t& value) {
  if (text.size() < count) return false;
  value = 0;
  for (size_t i = 0; i < count; ++i) {
    const char c = text[i];
    uint64_t digit = 0;
    if (c >= '0' && c <= '9') {
      digit = static_cast<uint64_t>(c - '0');
    } else if (c >= 'a' && c <= 'f') {
      digit = static_cast<uint64_t>(c - 'a' + 10);
    } else if (c >= 'A' && c <= 'F') {
      digit = static_cast<uint64_t>(c - 'A' + 10);
    } else {
      return false;
    }
    value = value << 4 | digit;
  }
  return true;
}

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", braces required, hex digits of either case.
bool ParseRegistryFormat(std::string_view text, platform::vhpd::Guid& guid) {
  if (text.size() != 38 || text.front() != '{' || text.back() != '}') return false;
  text = text.substr(1, 36);
  constexpr size_t kGroups[] = {8, 4, 4, 4, 12};
  uint64_t values[5] = {};
  size_t at = 0;
  for (size_t i = 0; i < 5; ++i) {
    if (!HexDigits(text.substr(at), kGroups[i], values[i])) return false;
    at += kGroups[i];
    if (i < 4) {
      if (text[at] != '-') return false;
      ++at;
    }
  }
  guid.data1 = static_cast<uint32_t>(values[0]);
  guid.data2 = static_cast<uint16_t>(values[1]);
  guid.data3 = static_cast<uint16_t>(values[2]);
  guid.data4[0] = static_cast<uint8_t>(values[3] >> 8);
  guid.data4[1] = static_cast<uint8_t>(values[3]);
  for (size_t i = 0; i < 6; ++i) {
    guid.data4[2 + i] = static_cast<uint8_t>(values[4] >> (8 * (5 - i)));
  }
  return true;
}

}  // namespace

uint32_t GuidFromString(const char* text, platform::vhpd::Guid& guid) {
  if (text == nullptr) {
    Log(LogType::Error,
        "GuidFromString: NULL pointer found instead of a pointer to a guid string\n");
    return 1;
  }
  guid = {};
  const std::string_view limited(text, strnlen(text, kMaxGuidText));
  if (!ParseRegistryFormat(limited, guid)) {
    guid = {};
    Log(LogType::Error, "GuidFromString: CLSIDFromString failed with error = 0x%08X (HRESULT)\n",
        kNotAGuid);
    return 1;
  }
  return 0;
}

std::string ControlDeviceName(const platform::vhpd::Guid& guid) {
  char name[64];
  std::snprintf(name, sizeof name, "\\\\.\\{%08x-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x}",
                guid.data1, guid.data2, guid.data3, guid.data4[0], guid.data4[1], guid.data4[2],
                guid.data4[3], guid.data4[4], guid.data4[5], guid.data4[6], guid.data4[7]);
  return name;
}

}  // namespace fwdl
