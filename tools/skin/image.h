// The generator's canvas: an RGB image of floats (0…1) with anti-aliased shapes, gradients,
// noise and compositing, turned into 0x00RRGGBB pixels at the end.
//
// Every position and size is in panel pixels. An image made while a ScaleScope of 2 lives
// holds 2 × 2 pixels per panel pixel and draws every shape at that resolution: the ×2 skin,
// the same geometry with finer edges.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace velmora::skin {

struct Colour {
  float r = 0, g = 0, b = 0;
};

Colour rgb(uint32_t hex);
Colour mix(Colour a, Colour b, float t);
Colour scale(Colour c, float k);

// While it lives, images are made at `scale` (1 or 2) pixels per panel pixel.
class ScaleScope {
 public:
  explicit ScaleScope(int scale);
  ~ScaleScope();
  ScaleScope(const ScaleScope&) = delete;
  ScaleScope& operator=(const ScaleScope&) = delete;

 private:
  int previous_;
};

class Image {
 public:
  Image() = default;
  // width × height panel pixels at the scale of the innermost ScaleScope (1 without one).
  Image(int width, int height, Colour fill = {});

  int width() const { return width_; }
  int height() const { return height_; }
  int scale() const { return scale_; }
  int pixelWidth() const { return width_ * scale_; }
  int pixelHeight() const { return height_ * scale_; }
  // Pixel (x, y) of the pixel memory (panel pixels times the scale).
  Colour& at(int x, int y) { return pixels_[static_cast<size_t>(y) * pixelWidth() + x]; }
  Colour at(int x, int y) const { return pixels_[static_cast<size_t>(y) * pixelWidth() + x]; }
  bool inside(int x, int y) const {
    return x >= 0 && y >= 0 && x < pixelWidth() && y < pixelHeight();
  }

  // Lays `colour` over panel pixel (x, y) with coverage `alpha` (ignored outside).
  void blend(int x, int y, Colour colour, float alpha);
  // The same for pixel (x, y) of the pixel memory.
  void blendPixel(int x, int y, Colour colour, float alpha);
  // Shades every pixel whose centre lies in the shape, anti-aliased by 4 × 4 supersampling.
  // `shape(x, y)` says whether a point is inside; `paint(x, y)` gives its colour.
  void fillShape(float left, float top, float right, float bottom,
                 const std::function<bool(float, float)>& shape,
                 const std::function<Colour(float, float)>& paint, float opacity = 1.0f);
  void fillRect(int left, int top, int right, int bottom, Colour colour, float opacity = 1.0f);
  void fillCircle(float cx, float cy, float radius, Colour colour, float opacity = 1.0f);
  // A circle shaded by a light from the top left.
  void fillDome(float cx, float cy, float radius, Colour centre, Colour edge);
  void fillRoundRect(float left, float top, float right, float bottom, float radius,
                     const std::function<Colour(float, float)>& paint, float opacity = 1.0f);
  void fillRoundRect(float left, float top, float right, float bottom, float radius, Colour colour,
                     float opacity = 1.0f);
  void ring(float cx, float cy, float inner, float outer, Colour colour, float opacity = 1.0f);
  void line(float x1, float y1, float x2, float y2, float width, Colour colour,
            float opacity = 1.0f);
  // Vertical gradient over the rectangle.
  void gradient(int left, int top, int right, int bottom, Colour topColour, Colour bottomColour);
  // Deterministic grain: each pixel brightened or darkened by up to `amount`, with horizontal
  // streaks for brushed metal when `brushed`.
  void grain(uint32_t seed, float amount, bool brushed);
  // A soft glow around a point (lit LEDs).
  void glow(float cx, float cy, float radius, Colour colour, float strength);
  // Copies `other` (of the same scale) to (x, y).
  void paste(const Image& other, int x, int y);

  // 0x00RRGGBB pixels, rows top-down, pixelWidth × pixelHeight.
  std::vector<uint32_t> pixels() const;

 private:
  int width_ = 0;
  int height_ = 0;
  int scale_ = 1;
  std::vector<Colour> pixels_;
};

}  // namespace velmora::skin
