#include "cli/cli_support.h"

#include <cstdio>

#include "control_panel/device/status_names.h"
#include "platform/number_text.h"

namespace velmoractl {

std::optional<uint32_t> parseNumber(std::string_view text) {
  return platform::parseUnsigned32(text);
}

std::optional<std::string> takeOption(Args& args, std::string_view name, std::string& error) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] != name) continue;
    if (i + 1 >= args.size()) {
      error = std::string(name) + " needs a value";
      args.erase(args.begin() + static_cast<long>(i));
      return std::nullopt;
    }
    std::string value = args[i + 1];
    args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
    return value;
  }
  return std::nullopt;
}

bool takeFlag(Args& args, std::string_view name) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == name) {
      args.erase(args.begin() + static_cast<long>(i));
      return true;
    }
  }
  return false;
}

namespace {

// The length of the valid UTF-8 character at the start of `text` (shortest form, no
// surrogates, at most U+10FFFF); 0 when the bytes there are not one.
size_t utf8Length(std::string_view text) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  const size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                        : lead >= 0xE0 && lead <= 0xEF ? 3
                        : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                       : 0;
  if (length == 0 || length > text.size()) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
  }
  const unsigned char second = byte(1);
  if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
      (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F)) {
    return 0;
  }
  return length;
}

}  // namespace

std::string jsonString(std::string_view text) {
  std::string out = "\"";
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte >= 0x20 && byte < 0x7F) {
      out += c;
    } else if (const size_t length = byte >= 0x80 ? utf8Length(text.substr(i)) : 0) {
      out += text.substr(i, length);  // valid UTF-8 stays as it is
      i += length - 1;
    } else {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", byte);  // other bytes as Latin-1
      out += escape;
    }
  }
  return out + "\"";
}

int fail(int code, const std::string& message) {
  std::fprintf(stderr, "velmoractl: %s\n", message.c_str());
  return code;
}

std::string describeStatus(uint32_t status) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%08X", status);
  return std::string(hex) + " (" + std::string(velmora::StatusName(status)) + ")";
}

}  // namespace velmoractl
