// Unsigned numbers typed by people or stored in text files: decimal, or hexadecimal after
// "0x" (strtoul with base 0, without its octal reading and its silent wrap-around).
#pragma once

#include <charconv>
#include <cstdint>
#include <optional>
#include <string_view>

namespace platform {

// The whole of `text` as a 32-bit number; nullopt for empty text, other characters, or a
// value that does not fit.
inline std::optional<uint32_t> parseUnsigned32(std::string_view text) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  uint32_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (text.empty() || ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace platform
