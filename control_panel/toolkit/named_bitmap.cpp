#include "control_panel/toolkit/named_bitmap.h"

#include <memory>
#include <vector>

#include "control_panel/toolkit/skin_archive.h"

namespace velmora {
namespace {

struct CachedImage {
  int skinScale;  // of the skin it was requested from: a layout built at ×1 keeps ×1 images
  std::unique_ptr<NamedBitmap> image;
};

std::vector<CachedImage>& cache() {
  static std::vector<CachedImage> images;
  return images;
}

}  // namespace

NamedBitmap::NamedBitmap(const uint8_t* data, size_t size, const char* name, int scale)
    : Bitmap(data, size, scale), name_(name != nullptr ? name : "") {}

NamedBitmap::~NamedBitmap() = default;

NamedBitmap* getNamedBitmap(const char* name) {
  if (name == nullptr) return nullptr;
  const int scale = skinScale();
  for (const CachedImage& cached : cache()) {
    if (cached.skinScale == scale && skinNamesEqual(cached.image->name(), name)) {
      return cached.image.get();
    }
  }
  const ArchiveData entry = getArchiveData(name);
  if (entry.data == nullptr) return nullptr;
  cache().push_back(
      {scale, std::make_unique<NamedBitmap>(entry.data, entry.length, name, entry.scale)});
  return cache().back().image.get();
}

void releaseNamedBitmaps() {
  cache().clear();
}

int namedBitmapCount() {
  return static_cast<int>(cache().size());
}

}  // namespace velmora
