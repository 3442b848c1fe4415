#include "control_panel/toolkit/named_bitmap.h"

#include <memory>
#include <vector>

#include "control_panel/toolkit/skin_archive.h"

namespace velmora {
namespace {

std::vector<std::unique_ptr<NamedBitmap>>& cache() {
  static std::vector<std::unique_ptr<NamedBitmap>> images;
  return images;
}

}  // namespace

NamedBitmap::NamedBitmap(const uint8_t* data, size_t size, const char* name)
    : Bitmap(data, size), name_(name != nullptr ? name : "") {}

NamedBitmap::~NamedBitmap() = default;

NamedBitmap* getNamedBitmap(const char* name) {
  if (name == nullptr) return nullptr;
  for (const auto& image : cache()) {
    if (skinNamesEqual(image->name(), name)) return image.get();
  }
  const ArchiveData entry = findEntry(name);
  if (entry.data == nullptr) return nullptr;
  cache().push_back(std::make_unique<NamedBitmap>(entry.data, entry.length, name));
  return cache().back().get();
}

void releaseNamedBitmaps() {
  cache().clear();
}

int namedBitmapCount() {
  return static_cast<int>(cache().size());
}

}  // namespace velmora
