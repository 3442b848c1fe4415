// The 80 images of the skin archive in directory order, with their sizes.
#pragma once

#include <array>

namespace velmora::skin {

struct SkinImage {
  const char* name;
  int width;
  int height;
};

extern const std::array<SkinImage, 80> kSkinImages;

}  // namespace velmora::skin
