// Rectangles and points of the toolkit, in window client pixels. Rectangles are always
// ordered left, right, top, bottom, as in the layout tables.
//
// Rect: a rectangle, left, right, top, bottom.
// Point: a position, x and y.
#pragma once

#include <cstdint>

namespace velmora {

struct Rect {
  int32_t left = 0;
  int32_t right = 0;
  int32_t top = 0;
  int32_t bottom = 0;

  int32_t width() const { return right - left; }
  int32_t height() const { return bottom - top; }
  // Both edges inclusive, as views hit-test.
  bool contains(int32_t x, int32_t y) const {
    return left <= x && x <= right && top <= y && y <= bottom;
  }
  friend bool operator==(const Rect&, const Rect&) = default;
};

struct Point {
  int32_t x = 0;
  int32_t y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

}  // namespace velmora
