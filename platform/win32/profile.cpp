#include "platform/profile.h"

#include <vector>

#include "platform/win32/windows_api.h"

namespace platform {

namespace {

constexpr std::string_view kWhitespace = " \t\r\v\f";

std::string trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(kWhitespace);
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(kWhitespace);
  return std::string(text.substr(first, last - first + 1));
}

bool validSection(std::string_view section) {
  return !section.empty() && section.find_first_of("]\r\n") == std::string_view::npos;
}

bool validKey(std::string_view key) {
  return !key.empty() && key.front() != ';' && key.front() != '[' &&
         key.find_first_of("=\r\n") == std::string_view::npos;
}

}  // namespace

std::string getProfileString(const std::string& file, std::string_view section,
                             std::string_view key, std::string_view defaultValue) {
  const std::string sectionName = trimmed(section);
  const std::string keyName = trimmed(key);
  const std::string fallback(defaultValue);
  // The function says a value was cut by filling the buffer to size - 1; grow and ask again.
  std::vector<char> buffer(256);
  for (;;) {
    const DWORD length =
        GetPrivateProfileStringA(sectionName.c_str(), keyName.c_str(), fallback.c_str(),
                                 buffer.data(), static_cast<DWORD>(buffer.size()), file.c_str());
    if (length + 1 < buffer.size() || buffer.size() >= (size_t{4} << 20)) {
      return std::string(buffer.data(), length);
    }
    buffer.resize(buffer.size() * 4);
  }
}

uint32_t getProfileInt(const std::string& file, std::string_view section, std::string_view key,
                       uint32_t defaultValue) {
  return GetPrivateProfileIntA(trimmed(section).c_str(), trimmed(key).c_str(),
                               static_cast<INT>(defaultValue), file.c_str());
}

bool writeProfileString(const std::string& file, std::string_view section, std::string_view key,
                        std::string_view value) {
  const std::string sectionName = trimmed(section);
  const std::string keyName = trimmed(key);
  if (!validSection(sectionName) || !validKey(keyName) ||
      value.find_first_of("\r\n") != std::string_view::npos) {
    return false;
  }
  return WritePrivateProfileStringA(sectionName.c_str(), keyName.c_str(),
                                    std::string(value).c_str(), file.c_str());
}

}  // namespace platform
