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

std::string jsonString(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || byte >= 0x7F) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", byte);  // bytes as Latin-1
      out += escape;
    } else {
      out += c;
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
