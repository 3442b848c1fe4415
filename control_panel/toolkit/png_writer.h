// Writes a Bitmap as an 8-bit RGB PNG file (libpng), to look at panels without a display.
#pragma once

#include <string>

namespace velmora {

class Bitmap;

// False when the bitmap is invalid or the file cannot be written.
bool writePng(Bitmap& bitmap, const std::string& path);

}  // namespace velmora
