// Ini profile files. Each operation stands for a Windows service:
//   getProfileString    GetPrivateProfileString
//   getProfileInt       GetPrivateProfileInt
//   writeProfileString  WritePrivateProfileString
//
// With the Windows semantics: section and key names are case-insensitive; values are text
// with surrounding whitespace (and one pair of matching surrounding quotes) removed; a missing
// file, section or key reads as the default; the first of duplicate sections or keys wins.
// Lines may end in LF or CRLF. Files larger than 4 MiB are not profile files and read as empty.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

std::string getProfileString(const std::string& file, std::string_view section,
                             std::string_view key, std::string_view defaultValue);

// The value's leading decimal number (an optional sign, then digits; negative numbers wrap
// like the Windows UINT result); 0 when the value does not start with a number; the default
// when the key is missing or its value empty.
uint32_t getProfileInt(const std::string& file, std::string_view section, std::string_view key,
                       uint32_t defaultValue);

// Sets `key` in `section`, creating the file and the section as needed. An existing key is
// replaced in place; every other line is kept as it was. The file is replaced atomically (a
// temporary file beside it, then rename), so readers never see it half-written. Names are
// trimmed like the reader's. Fails for empty names, line breaks in names or value, a key
// containing '=' or starting with ';' or '[', a section containing ']', and files it cannot read.
[[nodiscard]] bool writeProfileString(const std::string& file, std::string_view section,
                                      std::string_view key, std::string_view value);

}  // namespace platform
