#include "platform/resources.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace platform {

namespace {

struct Entry {
  const detail::ResourceRegistration* owner;
  std::string type;  // upper case
  std::string name;  // upper case
  std::span<const uint8_t> data;
};

std::string upper(std::string_view text) {
  std::string result(text);
  for (char& c : result) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return result;
}

// Built on first use, so registrations from static initialisers of any module find it ready;
// a mutex because a shared library may be loaded while another thread looks resources up.
struct Table {
  std::mutex mutex;
  std::vector<Entry> entries;
};

Table& table() {
  static Table instance;
  return instance;
}

}  // namespace

namespace detail {

ResourceRegistration::ResourceRegistration(const char* type, const char* name, const uint8_t* begin,
                                           const uint8_t* end) {
  Table& t = table();
  std::lock_guard lock(t.mutex);
  t.entries.push_back({this, upper(type), upper(name), std::span<const uint8_t>(begin, end)});
}

ResourceRegistration::~ResourceRegistration() {
  Table& t = table();
  std::lock_guard lock(t.mutex);
  std::erase_if(t.entries, [this](const Entry& entry) { return entry.owner == this; });
}

}  // namespace detail

std::optional<std::span<const uint8_t>> findResource(std::string_view type, std::string_view name) {
  const std::string wantedType = upper(type);
  const std::string wantedName = upper(name);
  Table& t = table();
  std::lock_guard lock(t.mutex);
  for (const Entry& entry : t.entries) {
    if (entry.type == wantedType && entry.name == wantedName) return entry.data;
  }
  return std::nullopt;
}

std::optional<std::span<const uint8_t>> findResource(std::string_view type, uint16_t id) {
  return findResource(type, "#" + std::to_string(id));
}

}  // namespace platform
