// The four panel backgrounds, every unlit control printed where the layouts place it.
#pragma once

#include "tools/skin/image.h"

namespace velmora::skin {

Image normalBackground();  // 704 × 394
Image shrinkBackground();  // 456 × 373
Image ac3Background();     // 405 × 344
Image connectionLost();    // 300 × 56

}  // namespace velmora::skin
