#include "tools/skin/archive_packer.h"

#include <cstring>

namespace velmora::skin {
namespace {

void putBe32(std::vector<uint8_t>& out, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

}  // namespace

std::vector<uint8_t> packArchive(const std::vector<ArchiveItem>& items) {
  size_t size = 4 + 8 * items.size();
  for (const ArchiveItem& item : items) size += item.name.size() + 1 + 8 + item.content.size();
  std::vector<uint8_t> out(size, 0);
  putBe32(out, 0, static_cast<uint32_t>(items.size()));

  size_t at = 4 + 8 * items.size();
  for (size_t i = 0; i < items.size(); ++i) {
    putBe32(out, 4 + 8 * i, static_cast<uint32_t>(at));
    std::memcpy(out.data() + at, items[i].name.c_str(), items[i].name.size() + 1);
    at += items[i].name.size() + 1;
  }
  for (size_t i = 0; i < items.size(); ++i) {
    putBe32(out, 8 + 8 * i, static_cast<uint32_t>(at));
    putBe32(out, at, static_cast<uint32_t>(items[i].content.size()));
    // at + 4: the reserved word, 0
    if (!items[i].content.empty()) {
      std::memcpy(out.data() + at + 8, items[i].content.data(), items[i].content.size());
    }
    at += 8 + items[i].content.size();
  }
  return out;
}

}  // namespace velmora::skin
