// Skin images by name: decoded once from the skin archive and shared by every layout
// (known to layouts as PluginGUI::NamedBitmap).
//
// The cache owns the images. They live until the last PluginGUI is destroyed, which calls
// releaseNamedBitmaps(); views never destroy them. User-interface thread only.
//
// PluginGUI::NamedBitmap (NamedBitmap here): a skin image with its name, from the shared cache.
#pragma once

#include <string>

#include "control_panel/toolkit/bitmap.h"

namespace velmora {

class NamedBitmap : public Bitmap {
 public:
  // Decodes `size` bytes of BMP data (possibly into an invalid image) at `scale` pixels per
  // panel pixel and keeps `name`.
  NamedBitmap(const uint8_t* data, size_t size, const char* name, int scale = 1);
  ~NamedBitmap() override;

  // The whole string the image was first requested with, newline and what follows included.
  const char* name() const { return name_.c_str(); }

 private:
  std::string name_;
};

// The cached image of `name` (compared with skinNamesEqual) in the skin in use (×1 or ×2,
// getArchiveData), decoding and caching it on first request; none when the archive has no
// such entry (and then nothing is cached). An entry that does not decode is cached as an
// invalid image.
NamedBitmap* getNamedBitmap(const char* name);

// Destroys every cached image. Called when the last layout goes.
void releaseNamedBitmaps();

// Images in the cache (for tests).
int namedBitmapCount();

}  // namespace velmora
