#include "simbus/unit_model.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <utility>

namespace simbus {

std::string_view modelName(Model model) {
  return model == Model::Studio ? "Studio" : "Compact";
}

std::optional<Model> parseModel(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lower == "studio") return Model::Studio;
  if (lower == "compact") return Model::Compact;
  return std::nullopt;
}

std::string formatFirmware(uint32_t version) {
  return info::formatFirmwareVersion(version);
}

std::optional<uint32_t> parseFirmware(std::string_view text) {
  uint32_t parts[3] = {};
  const uint32_t limits[3] = {0xFF, 0xFF, 0xFFFF};
  const char* p = text.data();
  const char* end = text.data() + text.size();
  for (int i = 0; i < 3; ++i) {
    const auto [next, ec] = std::from_chars(p, end, parts[i]);
    if (ec != std::errc{} || next == p || parts[i] > limits[i]) return std::nullopt;
    p = next;
    if (i < 2) {
      if (p == end || *p != '.') return std::nullopt;
      ++p;
    }
  }
  if (p != end) return std::nullopt;
  return parts[0] << 24 | parts[1] << 16 | parts[2];
}

namespace {
constexpr std::pair<SyncInput, std::string_view> kSyncInputNames[] = {
    {SyncInput::Spdif, "spdif"},
    {SyncInput::Adat1, "adat1"},
    {SyncInput::Adat2, "adat2"},
    {SyncInput::Wordclock, "wordclock"},
};
}  // namespace

std::optional<SyncInput> parseSyncInput(std::string_view text) {
  for (const auto& [input, name] : kSyncInputNames) {
    if (name == text) return input;
  }
  return std::nullopt;
}

std::string_view syncInputName(SyncInput input) {
  for (const auto& [value, name] : kSyncInputNames) {
    if (value == input) return name;
  }
  return "?";
}

}  // namespace simbus
