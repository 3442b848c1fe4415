// Draws every image of the skin archive by name.
#pragma once

#include "tools/skin/image.h"
#include "tools/skin/skin_manifest.h"

namespace velmora::skin {

// The picture of `image` at its manifest size, drawn at `scale` (1, or 2 for the ×2 skin)
// pixels per panel pixel.
Image drawSkinImage(const SkinImage& image, int scale = 1);

}  // namespace velmora::skin
