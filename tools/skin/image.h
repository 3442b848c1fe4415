// The generator's canvas: an RGB image of floats (0…1) with anti-aliased shapes, gradients,
// noise and compositing, turned into 0x00RRGGBB pixels at the end.
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

class Image {
 public:
  Image() = default;
  Image(int width, int height, Colour fill = {});

  int width() const { return width_; }
  int height() const { return height_; }
  Colour& at(int x, int y) { return pixels_[static_cast<size_t>(y) * width_ + x]; }
  Colour at(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
  bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

  // Lays `colour` over pixel (x, y) with coverage `alpha` (ignored outside).
  void blend(int x, int y, Colour colour, float alpha);
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
  // Copies `other` to (x, y).
  void paste(const Image& other, int x, int y);

  // 0x00RRGGBB pixels, rows top-down.
  std::vector<uint32_t> pixels() const;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<Colour> pixels_;
};

}  // namespace velmora::skin
