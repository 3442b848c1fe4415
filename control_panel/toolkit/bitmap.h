// An image of 32-bit pixels 0x00RRGGBB, rows top-down, stride = width: everything skinned is
// composited in these with row copies and integer blends, and only finished images go to a
// window.
//
// An invalid Bitmap (no pixels: failed decode, failed allocation) is harmless: every
// operation on it, or with it as destination or mask, does nothing.
//
// A bitmap may hold `scale` × `scale` pixels for each panel pixel (the ×2 skin): its width,
// height and every position and rectangle of its operations stay in panel pixels, and only
// the pixel memory (pixels(), stride(), pixel(), pixelWidth()) is finer. Copies and blends
// between bitmaps of different scales repeat or drop pixels.
//
// Bitmap: an image in memory, with the copies and blends all skinned drawing is made of.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "control_panel/toolkit/rect.h"

namespace velmora {

class Bitmap {
 public:
  // An invalid bitmap; create() or loadBmp() gives it pixels.
  Bitmap() = default;
  // Decodes a BMP file of `size` bytes (see loadBmp). With `scale` 2 the file's pixels are
  // taken as 2 × 2 per panel pixel (when its sides are even; otherwise as scale 1).
  Bitmap(const uint8_t* data, size_t size, int scale = 1);
  // create(width, height) at `scale` (1 or 2) pixels per panel pixel.
  Bitmap(int width, int height, int scale = 1);
  virtual ~Bitmap();
  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;

  virtual uint32_t* pixels();
  // Called after every write to the pixels; a hook for images mirrored elsewhere.
  virtual void pixelsChanged();
  // Pixels per row (= width × scale).
  virtual int stride() const;
  virtual bool isValid() const;
  // Allocates cleared pixels, scale × scale per panel pixel. Fails (leaving the bitmap as it
  // was) for sizes below 1 or beyond kMaxSide / kMaxPixels, or when the bitmap already has
  // pixels.
  virtual bool create(int width, int height);
  // Decodes a BMP file with a 12- or 40-byte header at 1, 2, 4, 8 or 24 bits per pixel,
  // bottom-up rows. Data that would have to be read beyond `size` leaves the bitmap
  // invalid. Does nothing when the bitmap is already valid.
  virtual void loadBmp(const uint8_t* data, size_t size);
  // Opaque copy of `src` (default: the whole image) to (x, y) of `dst`, clipped to both.
  virtual void copyTo(Bitmap* dst, int x, int y, const Rect* src = nullptr);
  // Per-channel alpha blend through `mask`, which must have this image's size (otherwise
  // nothing happens). maskBlend true: out = (M·S + (255 − M)·D) / 256; false: additive
  // out = min(255, (M·S + 255·D) / 256).
  virtual void blendTo(Bitmap* dst, Bitmap* mask, int x, int y, const Rect* src, bool maskBlend);
  virtual int width() const;
  virtual int height() const;
  // Sets every byte of the pixel memory to the low byte of `value` (0 black, -1 white).
  virtual void fill(int32_t value);
  // Sets the scale × scale pixels of panel pixel (x, y); ignored outside the image.
  virtual void setPixel(int x, int y, uint32_t value);

  // The pixel at (x, y) of the pixel memory (panel pixels times the scale), 0 outside the
  // image or when invalid.
  uint32_t pixel(int x, int y) const;
  const Rect& bounds() const { return bounds_; }
  // Pixels per panel pixel along each side: 1, or 2 for the ×2 skin.
  int scale() const { return scale_; }
  int pixelWidth() const { return width_ * scale_; }
  int pixelHeight() const { return height_ * scale_; }

  static constexpr int kMaxSide = 32767;
  static constexpr int64_t kMaxPixels = int64_t{1} << 26;

  // The clipping shared by copyTo, blendTo and tinted glyphs: clips `src` (in the source
  // image) and the destination point (x, y) against both images. Returns false when
  // nothing is left to draw.
  static bool clip(int sourceWidth, int sourceHeight, int destinationWidth, int destinationHeight,
                   int& x, int& y, Rect& src);

 private:
  // The clipped rectangle `r` of this image to (x, y) of `dst`, each pixel of `dst` taking
  // the pixel of this image (and of `mask`) at the same place: for bitmaps of unlike scales.
  void resampleTo(Bitmap* dst, Bitmap* mask, int x, int y, const Rect& r, int mode);

  int width_ = 0;
  int height_ = 0;
  int scale_ = 1;
  Rect bounds_;
  struct FreePixels {
    void operator()(uint32_t* pixels) const { std::free(pixels); }
  };
  std::unique_ptr<uint32_t[], FreePixels> pixels_;
};

}  // namespace velmora
