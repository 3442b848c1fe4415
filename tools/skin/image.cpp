#include "tools/skin/image.h"

#include <algorithm>
#include <cmath>

namespace velmora::skin {

Colour rgb(uint32_t hex) {
  return {static_cast<float>(hex >> 16 & 0xFF) / 255.0f,
          static_cast<float>(hex >> 8 & 0xFF) / 255.0f, static_cast<float>(hex & 0xFF) / 255.0f};
}

Colour mix(Colour a, Colour b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Colour scale(Colour c, float k) {
  return {c.r * k, c.g * k, c.b * k};
}

namespace {
int currentScale = 1;
}  // namespace

ScaleScope::ScaleScope(int scale) : previous_(currentScale) {
  currentScale = scale == 2 ? 2 : 1;
}

ScaleScope::~ScaleScope() {
  currentScale = previous_;
}

Image::Image(int width, int height, Colour fill)
    : width_(width),
      height_(height),
      scale_(currentScale),
      pixels_(static_cast<size_t>(width) * height * currentScale * currentScale, fill) {}

void Image::blend(int x, int y, Colour colour, float alpha) {
  for (int row = y * scale_; row < (y + 1) * scale_; ++row) {
    for (int col = x * scale_; col < (x + 1) * scale_; ++col) blendPixel(col, row, colour, alpha);
  }
}

void Image::blendPixel(int x, int y, Colour colour, float alpha) {
  if (!inside(x, y) || alpha <= 0.0f) return;
  Colour& p = at(x, y);
  p = mix(p, colour, std::min(alpha, 1.0f));
}

void Image::fillShape(float left, float top, float right, float bottom,
                      const std::function<bool(float, float)>& shape,
                      const std::function<Colour(float, float)>& paint, float opacity) {
  // Pixels of the pixel memory, sampled at panel positions.
  const float s = static_cast<float>(scale_);
  const int x0 = std::max(0, static_cast<int>(std::floor(left * s)));
  const int y0 = std::max(0, static_cast<int>(std::floor(top * s)));
  const int x1 = std::min(pixelWidth(), static_cast<int>(std::ceil(right * s)));
  const int y1 = std::min(pixelHeight(), static_cast<int>(std::ceil(bottom * s)));
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      int hits = 0;
      for (int sy = 0; sy < 4; ++sy) {
        for (int sx = 0; sx < 4; ++sx) {
          hits += shape((static_cast<float>(x) + (sx + 0.5f) / 4) / s,
                        (static_cast<float>(y) + (sy + 0.5f) / 4) / s);
        }
      }
      if (hits > 0) {
        blendPixel(x, y,
                   paint((static_cast<float>(x) + 0.5f) / s, (static_cast<float>(y) + 0.5f) / s),
                   opacity * static_cast<float>(hits) / 16.0f);
      }
    }
  }
}

void Image::fillRect(int left, int top, int right, int bottom, Colour colour, float opacity) {
  const int s = scale_;
  for (int y = std::max(top * s, 0); y < std::min(bottom * s, pixelHeight()); ++y) {
    for (int x = std::max(left * s, 0); x < std::min(right * s, pixelWidth()); ++x) {
      blendPixel(x, y, colour, opacity);
    }
  }
}

void Image::fillCircle(float cx, float cy, float radius, Colour colour, float opacity) {
  fillShape(
      cx - radius, cy - radius, cx + radius, cy + radius,
      [=](float x, float y) {
        return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
      },
      [=](float, float) { return colour; }, opacity);
}

void Image::fillDome(float cx, float cy, float radius, Colour centre, Colour edge) {
  fillShape(
      cx - radius, cy - radius, cx + radius, cy + radius,
      [=](float x, float y) {
        return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
      },
      [=](float x, float y) {
        // Brightest a third of the way towards the top left.
        const float hx = cx - radius * 0.35f, hy = cy - radius * 0.35f;
        const float d = std::sqrt((x - hx) * (x - hx) + (y - hy) * (y - hy)) / (radius * 1.35f);
        return mix(centre, edge, std::clamp(d, 0.0f, 1.0f));
      });
}

void Image::fillRoundRect(float left, float top, float right, float bottom, float radius,
                          const std::function<Colour(float, float)>& paint, float opacity) {
  fillShape(
      left, top, right, bottom,
      [=](float x, float y) {
        if (x < left || x > right || y < top || y > bottom) return false;
        const float dx = std::max({left + radius - x, x - (right - radius), 0.0f});
        const float dy = std::max({top + radius - y, y - (bottom - radius), 0.0f});
        return dx * dx + dy * dy <= radius * radius;
      },
      paint, opacity);
}

void Image::fillRoundRect(float left, float top, float right, float bottom, float radius,
                          Colour colour, float opacity) {
  fillRoundRect(
      left, top, right, bottom, radius, [=](float, float) { return colour; }, opacity);
}

void Image::ring(float cx, float cy, float inner, float outer, Colour colour, float opacity) {
  fillShape(
      cx - outer, cy - outer, cx + outer, cy + outer,
      [=](float x, float y) {
        const float d = (x - cx) * (x - cx) + (y - cy) * (y - cy);
        return d <= outer * outer && d >= inner * inner;
      },
      [=](float, float) { return colour; }, opacity);
}

void Image::line(float x1, float y1, float x2, float y2, float width, Colour colour,
                 float opacity) {
  const float dx = x2 - x1, dy = y2 - y1, length2 = dx * dx + dy * dy;
  const float half = width / 2;
  fillShape(
      std::min(x1, x2) - width, std::min(y1, y2) - width, std::max(x1, x2) + width,
      std::max(y1, y2) + width,
      [=](float x, float y) {
        const float t =
            length2 > 0 ? std::clamp(((x - x1) * dx + (y - y1) * dy) / length2, 0.0f, 1.0f) : 0.0f;
        const float px = x1 + t * dx - x, py = y1 + t * dy - y;
        return px * px + py * py <= half * half;
      },
      [=](float, float) { return colour; }, opacity);
}

void Image::gradient(int left, int top, int right, int bottom, Colour topColour,
                     Colour bottomColour) {
  left *= scale_, top *= scale_, right *= scale_, bottom *= scale_;
  for (int y = std::max(top, 0); y < std::min(bottom, pixelHeight()); ++y) {
    const float t = bottom - top > 1
                        ? static_cast<float>(y - top) / static_cast<float>(bottom - top - 1)
                        : 0.0f;
    const Colour c = mix(topColour, bottomColour, t);
    for (int x = std::max(left, 0); x < std::min(right, pixelWidth()); ++x) at(x, y) = c;
  }
}

void Image::grain(uint32_t seed, float amount, bool brushed) {
  uint32_t state = seed * 2654435761u + 1;
  auto next = [&state] {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return static_cast<float>(state & 0xFFFF) / 65535.0f - 0.5f;
  };
  for (int y = 0; y < pixelHeight(); ++y) {
    float streak = 0;
    for (int x = 0; x < pixelWidth(); ++x) {
      streak = brushed ? streak * 0.92f + next() * 0.08f * 4 : 0;
      const float k = 1.0f + amount * (brushed ? streak + next() * 0.5f : next());
      at(x, y) = skin::scale(at(x, y), k);
    }
  }
}

void Image::glow(float cx, float cy, float radius, Colour colour, float strength) {
  const float s = static_cast<float>(scale_);
  for (int y = static_cast<int>((cy - radius) * s); y <= static_cast<int>((cy + radius) * s); ++y) {
    for (int x = static_cast<int>((cx - radius) * s); x <= static_cast<int>((cx + radius) * s);
         ++x) {
      const float d = std::hypot((static_cast<float>(x) + 0.5f) / s - cx,
                                 (static_cast<float>(y) + 0.5f) / s - cy) /
                      radius;
      if (d < 1.0f) blendPixel(x, y, colour, strength * (1.0f - d) * (1.0f - d));
    }
  }
}

void Image::paste(const Image& other, int x, int y) {
  x *= scale_, y *= scale_;
  for (int row = 0; row < other.pixelHeight(); ++row) {
    for (int col = 0; col < other.pixelWidth(); ++col) {
      if (inside(x + col, y + row)) at(x + col, y + row) = other.at(col, row);
    }
  }
}

std::vector<uint32_t> Image::pixels() const {
  std::vector<uint32_t> out(pixels_.size());
  auto byte = [](float v) {
    return static_cast<uint32_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
  };
  for (size_t i = 0; i < pixels_.size(); ++i) {
    out[i] = byte(pixels_[i].r) << 16 | byte(pixels_[i].g) << 8 | byte(pixels_[i].b);
  }
  return out;
}

}  // namespace velmora::skin
