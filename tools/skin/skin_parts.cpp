#include "tools/skin/skin_parts.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "tools/skin/pixel_font.h"

namespace velmora::skin {
namespace {

constexpr float kDegree = std::numbers::pi_v<float> / 180.0f;

Colour lighten(Colour c, float k) {
  return mix(c, rgb(0xFFFFFF), k);
}

}  // namespace

Image panelBase(int width, int height, uint32_t seed) {
  Image image(width, height, palette::kPanel);
  image.gradient(0, 0, width, height, lighten(palette::kPanel, 0.05f),
                 scale(palette::kPanel, 0.85f));
  image.grain(seed, 0.10f, true);
  return image;
}

void plate(Image& image, int left, int top, int right, int bottom, std::string_view title) {
  image.fillRoundRect(static_cast<float>(left), static_cast<float>(top), static_cast<float>(right),
                      static_cast<float>(bottom), 3.0f, palette::kPlateEdgeDark, 0.9f);
  image.fillRoundRect(static_cast<float>(left + 1), static_cast<float>(top + 1),
                      static_cast<float>(right), static_cast<float>(bottom), 3.0f,
                      palette::kPlateEdgeLight, 0.6f);
  image.fillRoundRect(static_cast<float>(left + 1), static_cast<float>(top + 1),
                      static_cast<float>(right - 1), static_cast<float>(bottom - 1), 2.5f,
                      palette::kPlate, 0.92f);
  if (!title.empty()) drawText(image, left + 5, top + 3, title, palette::kTitle, Weight::kBold);
}

void button(Image& image, int x, int y, bool lit, Colour colour, std::string_view cap) {
  const float l = static_cast<float>(x), t = static_cast<float>(y);
  image.fillRoundRect(l, t, l + 15, t + 15, 3.0f, rgb(0x0B0C0E));
  if (lit) {
    image.fillRoundRect(l + 1, t + 1, l + 14, t + 14, 2.5f, [&](float px, float py) {
      const float d = std::hypot(px - (l + 7.5f), py - (t + 7.0f)) / 8.0f;
      return mix(lighten(colour, 0.55f), scale(colour, 0.75f), std::clamp(d, 0.0f, 1.0f));
    });
    image.glow(l + 7.5f, t + 7.5f, 7.0f, lighten(colour, 0.8f), 0.35f);
  } else {
    image.fillRoundRect(l + 1, t + 1, l + 14, t + 14, 2.5f, [&](float, float py) {
      return mix(rgb(0x5A6069), rgb(0x3A3F46), (py - t) / 15.0f);
    });
    image.fillRoundRect(l + 2, t + 2, l + 13, t + 13, 2.0f, [&](float, float py) {
      return mix(rgb(0x4C525A), rgb(0x40454C), (py - t) / 15.0f);
    });
  }
  if (!cap.empty()) {
    const Colour ink = lit ? scale(colour, 0.35f) : rgb(0xB8BEC6);
    drawTextCentred(image, x + 8, y + 4, cap, ink);
  }
}

void buttonMask(Image& image, int x, int y) {
  const float l = static_cast<float>(x), t = static_cast<float>(y);
  image.fillRoundRect(l + 0.5f, t + 0.5f, l + 14.5f, t + 14.5f, 3.0f, rgb(0xFFFFFF));
}

void lampLed(Image& image, int x, int y, bool lit, Colour colour) {
  const float cx = static_cast<float>(x) + 6.5f, cy = static_cast<float>(y) + 6.5f;
  image.fillCircle(cx, cy, 4.6f, rgb(0x090A0B));
  if (lit) {
    image.glow(cx, cy, 6.5f, colour, 0.55f);
    image.fillDome(cx, cy, 3.6f, lighten(colour, 0.7f), scale(colour, 0.8f));
  } else {
    image.fillDome(cx, cy, 3.6f, scale(colour, 0.42f), scale(colour, 0.16f));
  }
}

void lampLedMask(Image& image, int x, int y) {
  image.fillCircle(static_cast<float>(x) + 6.5f, static_cast<float>(y) + 6.5f, 6.4f, rgb(0xFFFFFF));
  image.fillCircle(static_cast<float>(x) + 6.5f, static_cast<float>(y) + 6.5f, 4.8f, rgb(0xFFFFFF));
}

void knobCap(Image& image, int x, int y, float angle) {
  const float cx = static_cast<float>(x) + 9.5f, cy = static_cast<float>(y) + 9.5f;
  image.fillCircle(cx, cy, 9.3f, rgb(0x0A0B0D));
  image.fillDome(cx, cy, 8.4f, rgb(0x6E757F), rgb(0x2A2E34));
  image.ring(cx, cy, 6.2f, 7.0f, rgb(0x1C1F23), 0.5f);
  const float s = std::sin(angle * kDegree), c = std::cos(angle * kDegree);
  image.line(cx + s * 2.5f, cy - c * 2.5f, cx + s * 7.2f, cy - c * 7.2f, 1.7f, rgb(0xF4F6F8));
}

void knobMask(Image& image, int x, int y) {
  image.fillCircle(static_cast<float>(x) + 9.5f, static_cast<float>(y) + 9.5f, 9.4f, rgb(0xFFFFFF));
}

float frameAngle(int frame) {
  if (frame == 14) return 0.0f;
  const int steps = std::abs(frame - 14);
  const float magnitude = steps == 1 ? 6.0f : std::min(15.0f + 10.0f * (steps - 2), 135.0f);
  return frame < 14 ? -magnitude : magnitude;
}

namespace {

bool onArc(float px, float py, float cx, float cy, float from, float to) {
  const float angle = std::atan2(px - cx, cy - py) / kDegree;
  const float lo = std::min(from, to), hi = std::max(from, to);
  return angle >= lo - 0.01f && angle <= hi + 0.01f;
}

}  // namespace

void knobTrack(Image& image, int x, int y, float from, float to) {
  const float cx = static_cast<float>(x) + 13.5f, cy = static_cast<float>(y) + 13.5f;
  const float inner = 10.0f, outer = 12.6f;
  auto ring = [=](float px, float py) {
    const float d = std::hypot(px - cx, py - cy);
    return d >= inner && d <= outer;
  };
  image.fillShape(
      static_cast<float>(x), static_cast<float>(y), static_cast<float>(x + 27),
      static_cast<float>(y + 23),
      [=](float px, float py) { return ring(px, py) && onArc(px, py, cx, cy, -135, 135); },
      [](float, float) { return rgb(0x3B4148); });
  image.fillShape(
      static_cast<float>(x), static_cast<float>(y), static_cast<float>(x + 27),
      static_cast<float>(y + 23),
      [=](float px, float py) { return ring(px, py) && onArc(px, py, cx, cy, from, to); },
      [](float, float) { return palette::kAmber; });
}

void knobTrackMask(Image& image, int x, int y) {
  const float cx = static_cast<float>(x) + 13.5f, cy = static_cast<float>(y) + 13.5f;
  image.fillShape(
      static_cast<float>(x), static_cast<float>(y), static_cast<float>(x + 27),
      static_cast<float>(y + 23),
      [=](float px, float py) {
        const float d = std::hypot(px - cx, py - cy);
        return d >= 9.5f && d <= 13.1f && onArc(px, py, cx, cy, -140, 140);
      },
      [](float, float) { return rgb(0xFFFFFF); });
}

void faderSlot(Image& image, int x, int y) {
  const float cx = static_cast<float>(x) + 10.5f;
  const float top = static_cast<float>(y) + 14.0f, bottom = static_cast<float>(y) + 114.0f;
  for (int i = 0; i <= 10; ++i) {
    const float ty = static_cast<float>(y) + 16.5f + 9.5f * static_cast<float>(i);
    const float length = i % 5 == 0 ? 4.0f : 2.5f;
    image.line(static_cast<float>(x) + 0.5f, ty, static_cast<float>(x) + 0.5f + length, ty, 1.0f,
               palette::kPrint, 0.55f);
    image.line(static_cast<float>(x) + 20.5f - length, ty, static_cast<float>(x) + 20.5f, ty, 1.0f,
               palette::kPrint, 0.55f);
  }
  image.fillRoundRect(cx - 2.0f, top, cx + 2.0f, bottom, 1.5f, rgb(0x050607));
  image.fillRoundRect(cx - 1.0f, top + 1, cx + 1.0f, bottom - 1, 1.0f, rgb(0x1B1E22));
}

void faderHandle(Image& image, int x, int y) {
  const float l = static_cast<float>(x), t = static_cast<float>(y);
  image.fillRoundRect(l + 0.5f, t + 0.5f, l + 20.5f, t + 28.5f, 2.5f, rgb(0x0A0B0C));
  image.fillRoundRect(l + 1.5f, t + 1.5f, l + 19.5f, t + 27.5f, 2.0f, [&](float, float py) {
    const float k = (py - t) / 29.0f;
    return mix(rgb(0x8A919B), rgb(0x3B4047), k);
  });
  for (int i = 0; i < 5; ++i) {
    const float ry = t + 5.5f + 2.0f * static_cast<float>(i);
    image.line(l + 4, ry, l + 17, ry, 0.8f, rgb(0x2A2E33), 0.8f);
    image.line(l + 4, t + 28 - 5.5f - 2.0f * static_cast<float>(i), l + 17,
               t + 28 - 5.5f - 2.0f * static_cast<float>(i), 0.8f, rgb(0x2A2E33), 0.8f);
  }
  image.line(l + 2.5f, t + 14.5f, l + 18.5f, t + 14.5f, 1.6f, rgb(0xFFFFFF));
}

void balanceTray(Image& image, int x, int y) {
  const float l = static_cast<float>(x), t = static_cast<float>(y);
  image.fillRoundRect(l + 4, t + 5.5f, l + 108, t + 9.5f, 1.5f, rgb(0x050607));
  image.line(l + 6, t + 7.5f, l + 106, t + 7.5f, 1.0f, rgb(0x1B1E22));
  image.line(l + 56, t + 1, l + 56, t + 4, 1.0f, palette::kPrint, 0.7f);
  image.line(l + 56, t + 11, l + 56, t + 14, 1.0f, palette::kPrint, 0.7f);
  for (float tx : {7.5f, 31.5f, 80.5f, 104.5f}) {
    image.line(l + tx, t + 2, l + tx, t + 4, 1.0f, palette::kPrint, 0.45f);
    image.line(l + tx, t + 11, l + tx, t + 13, 1.0f, palette::kPrint, 0.45f);
  }
}

void balanceHandle(Image& image, int x, int y) {
  const float l = static_cast<float>(x), t = static_cast<float>(y);
  image.fillRoundRect(l + 0.5f, t + 0.5f, l + 10.5f, t + 14.5f, 2.0f, rgb(0x0A0B0C));
  image.fillRoundRect(l + 1.5f, t + 1.5f, l + 9.5f, t + 13.5f, 1.5f, [&](float, float py) {
    return mix(rgb(0x8A919B), rgb(0x3B4047), (py - t) / 15.0f);
  });
  image.line(l + 5.5f, t + 2.5f, l + 5.5f, t + 12.5f, 1.4f, rgb(0xFFFFFF));
}

void statusLamp(Image& image, int left, int top, int right, int bottom, bool lit, Colour colour) {
  image.fillRect(left, top, right, bottom, rgb(0x08090A));
  image.fillRect(left + 1, top + 1, right - 1, bottom - 1, rgb(0x15181C));
  const float cx = static_cast<float>(left + right) / 2.0f;
  const float cy = static_cast<float>(top + bottom) / 2.0f;
  const float w = static_cast<float>(right - left) - 8, h = static_cast<float>(bottom - top) - 10;
  const Colour on = lit ? colour : scale(colour, 0.22f);
  image.fillRoundRect(cx - w / 2, cy - h / 2, cx + w / 2, cy + h / 2, 2.0f, [&](float, float py) {
    const float k = (py - (cy - h / 2)) / h;
    return lit ? mix(lighten(on, 0.6f), on, k) : mix(scale(on, 1.3f), on, k);
  });
  if (lit) image.glow(cx, cy, w * 0.7f, colour, 0.3f);
  image.line(static_cast<float>(left) + 1, static_cast<float>(top) + 1.5f,
             static_cast<float>(right) - 1, static_cast<float>(top) + 1.5f, 1.0f, rgb(0x000000),
             0.6f);
}

void groupTab(Image& image, int left, int top, int right, int bottom, std::string_view label,
              TabState state) {
  const Colour face = state == TabState::kOn ? rgb(0x3A4048) : rgb(0x1C1F24);
  image.fillRect(left, top, right, bottom, rgb(0x0C0D0F));
  image.fillRect(left + 1, top + 1, right, bottom - 1, face);
  if (state == TabState::kOn) {
    image.fillRect(left + 1, top + 2, left + 3, bottom - 2, palette::kAmber);
    image.glow(static_cast<float>(left) + 2, static_cast<float>(top + bottom) / 2,
               static_cast<float>(bottom - top) / 2, palette::kAmber, 0.15f);
  }
  const Colour ink = state == TabState::kOn       ? rgb(0xFFFFFF)
                     : state == TabState::kNormal ? palette::kPrint
                                                  : rgb(0x494E55);
  const int length = textWidth(label);
  drawTextUp(image, left + 4, (top + bottom) / 2 + length / 2, label, ink);
}

void displayWindow(Image& image, int left, int top, int right, int bottom) {
  image.fillRoundRect(static_cast<float>(left), static_cast<float>(top), static_cast<float>(right),
                      static_cast<float>(bottom), 2.0f, palette::kPlateEdgeLight, 0.7f);
  image.fillRoundRect(static_cast<float>(left), static_cast<float>(top),
                      static_cast<float>(right - 1), static_cast<float>(bottom - 1), 2.0f,
                      rgb(0x050708));
  image.fillRect(left + 1, top + 1, right - 2, bottom - 2, palette::kDisplay);
}

void flatKey(Image& image, int left, int top, int right, int bottom, std::string_view label) {
  image.fillRect(left, top, right, bottom, rgb(0x0A0B0D));
  image.fillRect(left + 1, top + 1, right - 1, bottom - 1, rgb(0x2E3339));
  image.fillRect(left + 1, top + 1, right - 1, top + 2, rgb(0x454B53));
  drawTextCentred(image, (left + right) / 2, top + 1, label, palette::kPrint);
}

}  // namespace velmora::skin
