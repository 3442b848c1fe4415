// The looks panel widgets prepare once, at initialisation: skin images named by argument
// lines, the crop of the panel background under a widget, and composites of an image laid
// over such a crop. A look that cannot be made (a missing image) is none, and a widget draws
// nothing for it.
#pragma once

#include <memory>

#include "control_panel/toolkit/bitmap.h"
#include "control_panel/toolkit/rect.h"

namespace velmora {

// The skin image named by argument line `index`; none beyond `count`, for a name the archive
// lacks, and for an image that does not decode.
Bitmap* argumentImage(const char* const* lines, int count, int index);

// The integer at the start of argument line `index` (optional sign, digits); `fallback` when
// the line is missing or does not start with a number.
int argumentNumber(const char* const* lines, int count, int index, int fallback);

// The part of `background` under `rect` (window pixels), as a bitmap of the rectangle's
// size; none without a background or for an empty rectangle.
std::unique_ptr<Bitmap> backgroundCrop(Bitmap* background, const Rect& rect);

// A copy of `crop` with `image` blended through `mask` at (x, y). Without a mask the image is
// copied opaque. A mask of another size than the image cannot blend it; the image is then
// copied opaque with its centre on the mask's centre, so a small lamp image still sits in
// the middle of its lamp. None without a crop or an image.
std::unique_ptr<Bitmap> composeLook(Bitmap* crop, Bitmap* image, Bitmap* mask, int x = 0,
                                    int y = 0);

// A copy of `bitmap`; none without one.
std::unique_ptr<Bitmap> copyOf(Bitmap* bitmap);

}  // namespace velmora
