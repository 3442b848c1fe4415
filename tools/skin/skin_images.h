// Draws every image of the skin archive by name.
#pragma once

#include "tools/skin/image.h"
#include "tools/skin/skin_manifest.h"

namespace velmora::skin {

// The picture of `image` at its manifest size.
Image drawSkinImage(const SkinImage& image);

}  // namespace velmora::skin
