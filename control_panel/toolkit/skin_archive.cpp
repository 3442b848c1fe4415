#include "control_panel/toolkit/skin_archive.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace velmora {
namespace {

struct ArchiveEntry {
  std::string name;  // at most 255 characters
  uint32_t length = 0;
  uint32_t reserved = 0;
  std::unique_ptr<uint8_t[]> content;  // the copy, unless the bytes are resident
  const uint8_t* data = nullptr;       // none when the copy could not be allocated
};

std::vector<ArchiveEntry>& entries() {
  static std::vector<ArchiveEntry> list;
  return list;
}

std::vector<ArchiveEntry>& doubleEntries() {
  static std::vector<ArchiveEntry> list;
  return list;
}

uint32_t readBe32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
         static_cast<uint32_t>(p[2]) << 8 | p[3];
}

constexpr size_t kMaxName = 255;

// Whether an entry keeps a copy of its bytes or points into the archive's.
enum class Keep { Copy, InPlace };

void readArchive(std::vector<ArchiveEntry>& list, const uint8_t* bytes, size_t size, Keep keep) {
  list.clear();
  if (bytes == nullptr || size < 4) return;
  const int32_t count = static_cast<int32_t>(readBe32(bytes));
  for (int32_t i = 0; i < count; ++i) {
    const uint64_t slot = 4 + 8 * static_cast<uint64_t>(i);
    if (slot + 8 > size) break;  // the directory runs past the data: no more entries
    const uint32_t nameOffset = readBe32(bytes + slot);
    const uint32_t blockOffset = readBe32(bytes + slot + 4);
    if (nameOffset >= size || uint64_t{blockOffset} + 8 > size) continue;
    const uint32_t length = readBe32(bytes + blockOffset);
    if (length > size - blockOffset - 8) continue;

    ArchiveEntry entry;
    const char* name = reinterpret_cast<const char*>(bytes + nameOffset);
    entry.name.assign(name, strnlen(name, std::min(kMaxName, size - nameOffset)));
    entry.length = length;
    entry.reserved = readBe32(bytes + blockOffset + 4);
    if (keep == Keep::Copy) {
      entry.content.reset(new (std::nothrow) uint8_t[length > 0 ? length : 1]);
      if (entry.content) std::memcpy(entry.content.get(), bytes + blockOffset + 8, length);
      entry.data = entry.content.get();
    } else {
      entry.data = bytes + blockOffset + 8;
    }
    list.push_back(std::move(entry));
  }
}

ArchiveData find(const std::vector<ArchiveEntry>& list, const char* name, int scale) {
  if (name == nullptr) return {};
  for (const ArchiveEntry& entry : list) {
    if (skinNamesEqual(entry.name.c_str(), name)) return {entry.data, entry.length, scale};
  }
  return {};
}

}  // namespace

void loadArchive(const uint8_t* bytes, size_t size) {
  readArchive(entries(), bytes, size, Keep::Copy);
}

void loadResidentArchive(const uint8_t* bytes, size_t size) {
  readArchive(entries(), bytes, size, Keep::InPlace);
}

void loadDoubleArchive(const uint8_t* bytes, size_t size) {
  readArchive(doubleEntries(), bytes, size, Keep::Copy);
}

void loadResidentDoubleArchive(const uint8_t* bytes, size_t size) {
  readArchive(doubleEntries(), bytes, size, Keep::InPlace);
}

int skinScale() {
  return doubleEntries().empty() ? 1 : 2;
}

ArchiveData findEntry(const char* name) {
  return find(entries(), name, 1);
}

ArchiveData getArchiveData(const char* name) {
  const ArchiveData fine = find(doubleEntries(), name, 2);
  return fine.data != nullptr ? fine : findEntry(name);
}

int archiveEntryCount() {
  return static_cast<int>(entries().size());
}

const char* archiveEntryName(int index) {
  if (index < 0 || index >= archiveEntryCount()) return "";
  return entries()[static_cast<size_t>(index)].name.c_str();
}

bool skinNamesEqual(const char* a, const char* b) {
  for (size_t i = 0;; ++i) {
    const bool endA = static_cast<signed char>(a[i]) < 32;
    const bool endB = static_cast<signed char>(b[i]) < 32;
    if (endA || endB) return endA && endB;
    if (a[i] != b[i]) return false;
  }
}

}  // namespace velmora
