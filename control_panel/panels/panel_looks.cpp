#include "control_panel/panels/panel_looks.h"

#include "control_panel/toolkit/named_bitmap.h"

namespace velmora {

Bitmap* argumentImage(const char* const* lines, int count, int index) {
  if (lines == nullptr || index < 0 || index >= count) return nullptr;
  Bitmap* image = getNamedBitmap(lines[index]);
  return image != nullptr && image->isValid() ? image : nullptr;
}

int argumentNumber(const char* const* lines, int count, int index, int fallback) {
  if (lines == nullptr || index < 0 || index >= count || lines[index] == nullptr) return fallback;
  const char* p = lines[index];
  const bool negative = *p == '-';
  if (negative) ++p;
  if (*p < '0' || *p > '9') return fallback;
  int value = 0;
  // Panel arguments are small numbers; stop before an int could overflow.
  for (; *p >= '0' && *p <= '9' && value < 100000; ++p) value = value * 10 + (*p - '0');
  return negative ? -value : value;
}

std::unique_ptr<Bitmap> backgroundCrop(Bitmap* background, const Rect& rect) {
  if (background == nullptr || !background->isValid() || rect.width() <= 0 || rect.height() <= 0) {
    return nullptr;
  }
  auto crop = std::make_unique<Bitmap>(rect.width(), rect.height(), background->scale());
  if (!crop->isValid()) return nullptr;
  background->copyTo(crop.get(), 0, 0, &rect);
  return crop;
}

std::unique_ptr<Bitmap> copyOf(Bitmap* bitmap) {
  if (bitmap == nullptr || !bitmap->isValid()) return nullptr;
  auto copy = std::make_unique<Bitmap>(bitmap->width(), bitmap->height(), bitmap->scale());
  if (!copy->isValid()) return nullptr;
  bitmap->copyTo(copy.get(), 0, 0);
  return copy;
}

std::unique_ptr<Bitmap> composeLook(Bitmap* crop, Bitmap* image, Bitmap* mask, int x, int y) {
  if (image == nullptr || !image->isValid()) return nullptr;
  std::unique_ptr<Bitmap> look = copyOf(crop);
  if (!look) return nullptr;
  if (mask == nullptr || !mask->isValid()) {
    image->copyTo(look.get(), x, y);
  } else if (mask->width() == image->width() && mask->height() == image->height()) {
    image->blendTo(look.get(), mask, x, y, nullptr, true);
  } else {
    image->copyTo(look.get(), x + (mask->width() - image->width()) / 2,
                  y + (mask->height() - image->height()) / 2);
  }
  return look;
}

}  // namespace velmora
