#include "tools/skin/pixel_font.h"

#include <algorithm>
#include <array>
#include <functional>
#include <utility>
#include <vector>

namespace velmora::skin {
namespace {

// Rows top to bottom, '#' set; one entry per character from 32 to 126.
constexpr std::array<const char*, 95> kGlyphs = {
    ".....|.....|.....|.....|.....|.....|.....",  // space
    "..#..|..#..|..#..|..#..|..#..|.....|..#..",  // !
    ".#.#.|.#.#.|.#.#.|.....|.....|.....|.....",  // "
    ".#.#.|.#.#.|#####|.#.#.|#####|.#.#.|.#.#.",  // #
    "..#..|.####|#.#..|.###.|..#.#|####.|..#..",  // $
    "##...|##..#|...#.|..#..|.#...|#..##|...##",  // %
    ".##..|#..#.|#.#..|.#...|#.#.#|#..#.|.##.#",  // &
    "..#..|..#..|.#...|.....|.....|.....|.....",  // '
    "...#.|..#..|.#...|.#...|.#...|..#..|...#.",  // (
    ".#...|..#..|...#.|...#.|...#.|..#..|.#...",  // )
    ".....|..#..|#.#.#|.###.|#.#.#|..#..|.....",  // *
    ".....|..#..|..#..|#####|..#..|..#..|.....",  // +
    ".....|.....|.....|.....|.##..|..#..|.#...",  // ,
    ".....|.....|.....|#####|.....|.....|.....",  // -
    ".....|.....|.....|.....|.....|.##..|.##..",  // .
    ".....|....#|...#.|..#..|.#...|#....|.....",  // /
    ".###.|#...#|#..##|#.#.#|##..#|#...#|.###.",  // 0
    "..#..|.##..|..#..|..#..|..#..|..#..|.###.",  // 1
    ".###.|#...#|....#|...#.|..#..|.#...|#####",  // 2
    "#####|...#.|..#..|...#.|....#|#...#|.###.",  // 3
    "...#.|..##.|.#.#.|#..#.|#####|...#.|...#.",  // 4
    "#####|#....|####.|....#|....#|#...#|.###.",  // 5
    "..##.|.#...|#....|####.|#...#|#...#|.###.",  // 6
    "#####|....#|...#.|..#..|.#...|.#...|.#...",  // 7
    ".###.|#...#|#...#|.###.|#...#|#...#|.###.",  // 8
    ".###.|#...#|#...#|.####|....#|...#.|.##..",  // 9
    ".....|.##..|.##..|.....|.##..|.##..|.....",  // :
    ".....|.##..|.##..|.....|.##..|..#..|.#...",  // ;
    "...#.|..#..|.#...|#....|.#...|..#..|...#.",  // <
    ".....|.....|#####|.....|#####|.....|.....",  // =
    ".#...|..#..|...#.|....#|...#.|..#..|.#...",  // >
    ".###.|#...#|....#|...#.|..#..|.....|..#..",  // ?
    ".###.|#...#|....#|.##.#|#.#.#|#.#.#|.###.",  // @
    ".###.|#...#|#...#|#####|#...#|#...#|#...#",  // A
    "####.|#...#|#...#|####.|#...#|#...#|####.",  // B
    ".###.|#...#|#....|#....|#....|#...#|.###.",  // C
    "###..|#..#.|#...#|#...#|#...#|#..#.|###..",  // D
    "#####|#....|#....|####.|#....|#....|#####",  // E
    "#####|#....|#....|####.|#....|#....|#....",  // F
    ".###.|#...#|#....|#.###|#...#|#...#|.####",  // G
    "#...#|#...#|#...#|#####|#...#|#...#|#...#",  // H
    ".###.|..#..|..#..|..#..|..#..|..#..|.###.",  // I
    "..###|...#.|...#.|...#.|...#.|#..#.|.##..",  // J
    "#...#|#..#.|#.#..|##...|#.#..|#..#.|#...#",  // K
    "#....|#....|#....|#....|#....|#....|#####",  // L
    "#...#|##.##|#.#.#|#.#.#|#...#|#...#|#...#",  // M
    "#...#|#...#|##..#|#.#.#|#..##|#...#|#...#",  // N
    ".###.|#...#|#...#|#...#|#...#|#...#|.###.",  // O
    "####.|#...#|#...#|####.|#....|#....|#....",  // P
    ".###.|#...#|#...#|#...#|#.#.#|#..#.|.##.#",  // Q
    "####.|#...#|#...#|####.|#.#..|#..#.|#...#",  // R
    ".####|#....|#....|.###.|....#|....#|####.",  // S
    "#####|..#..|..#..|..#..|..#..|..#..|..#..",  // T
    "#...#|#...#|#...#|#...#|#...#|#...#|.###.",  // U
    "#...#|#...#|#...#|#...#|#...#|.#.#.|..#..",  // V
    "#...#|#...#|#...#|#.#.#|#.#.#|#.#.#|.#.#.",  // W
    "#...#|#...#|.#.#.|..#..|.#.#.|#...#|#...#",  // X
    "#...#|#...#|#...#|.#.#.|..#..|..#..|..#..",  // Y
    "#####|....#|...#.|..#..|.#...|#....|#####",  // Z
    ".###.|.#...|.#...|.#...|.#...|.#...|.###.",  // [
    ".....|#....|.#...|..#..|...#.|....#|.....",  // backslash
    ".###.|...#.|...#.|...#.|...#.|...#.|.###.",  // ]
    "..#..|.#.#.|#...#|.....|.....|.....|.....",  // ^
    ".....|.....|.....|.....|.....|.....|#####",  // _
    ".#...|..#..|...#.|.....|.....|.....|.....",  // `
    ".....|.....|.###.|....#|.####|#...#|.####",  // a
    "#....|#....|#.##.|##..#|#...#|#...#|####.",  // b
    ".....|.....|.###.|#....|#....|#...#|.###.",  // c
    "....#|....#|.##.#|#..##|#...#|#...#|.####",  // d
    ".....|.....|.###.|#...#|#####|#....|.###.",  // e
    "..##.|.#..#|.#...|###..|.#...|.#...|.#...",  // f
    ".....|.####|#...#|#...#|.####|....#|.###.",  // g
    "#....|#....|#.##.|##..#|#...#|#...#|#...#",  // h
    "..#..|.....|.##..|..#..|..#..|..#..|.###.",  // i
    "...#.|.....|..##.|...#.|...#.|#..#.|.##..",  // j
    "#....|#....|#..#.|#.#..|##...|#.#..|#..#.",  // k
    ".##..|..#..|..#..|..#..|..#..|..#..|.###.",  // l
    ".....|.....|##.#.|#.#.#|#.#.#|#...#|#...#",  // m
    ".....|.....|#.##.|##..#|#...#|#...#|#...#",  // n
    ".....|.....|.###.|#...#|#...#|#...#|.###.",  // o
    ".....|.....|####.|#...#|####.|#....|#....",  // p
    ".....|.....|.##.#|#..##|.####|....#|....#",  // q
    ".....|.....|#.##.|##..#|#....|#....|#....",  // r
    ".....|.....|.###.|#....|.###.|....#|####.",  // s
    ".#...|.#...|###..|.#...|.#...|.#..#|..##.",  // t
    ".....|.....|#...#|#...#|#...#|#..##|.##.#",  // u
    ".....|.....|#...#|#...#|#...#|.#.#.|..#..",  // v
    ".....|.....|#...#|#...#|#.#.#|#.#.#|.#.#.",  // w
    ".....|.....|#...#|.#.#.|..#..|.#.#.|#...#",  // x
    ".....|.....|#...#|#...#|.####|....#|.###.",  // y
    ".....|.....|#####|...#.|..#..|.#...|#####",  // z
    "...#.|..#..|..#..|.#...|..#..|..#..|...#.",  // {
    "..#..|..#..|..#..|..#..|..#..|..#..|..#..",  // |
    ".#...|..#..|..#..|...#.|..#..|..#..|.#...",  // }
    ".....|.....|.#...|#.#.#|...#.|.....|.....",  // ~
};

}  // namespace

bool glyphPixel(char c, int column, int row) {
  if (c < 32 || c > 126 || column < 0 || column > 4 || row < 0 || row > 6) return false;
  return kGlyphs[static_cast<size_t>(c - 32)][row * 6 + column] == '#';
}

int glyphWidth(char c) {
  if (c == ' ') return 3;
  int width = 0;
  for (int column = 0; column < 5; ++column) {
    for (int row = 0; row < 7; ++row) {
      if (glyphPixel(c, column, row)) width = column + 1;
    }
  }
  return width;
}

namespace {

// The first column a glyph uses, so narrow glyphs ("1", "i", ".") sit tight.
int glyphStart(char c) {
  if (c == ' ') return 0;
  for (int column = 0; column < 5; ++column) {
    for (int row = 0; row < 7; ++row) {
      if (glyphPixel(c, column, row)) return column;
    }
  }
  return 0;
}

// Where pixel (column, row) of a glyph lands: the panel pixel's top left.
using GlyphPlace = std::function<std::pair<float, float>(int column, int row)>;

// Half the pen of the fine lettering, in panel pixels: under half a pixel, so that a glyph
// lights the same panel columns as its pixels do (the fonts measure the same widths at ×2).
constexpr float kPenRadius = 0.42f;

float segmentDistance2(float px, float py, float x1, float y1, float x2, float y2) {
  const float dx = x2 - x1, dy = y2 - y1, length2 = dx * dx + dy * dy;
  const float t =
      length2 > 0 ? std::clamp(((px - x1) * dx + (py - y1) * dy) / length2, 0.0f, 1.0f) : 0.0f;
  const float ex = x1 + t * dx - px, ey = y1 + t * dy - py;
  return ex * ex + ey * ey;
}

// The glyph as strokes of a round pen between the centres of its neighbouring pixels, drawn
// at the image's resolution: on a ×2 image diagonals run smooth instead of in steps. A
// diagonal step whose corner pixels are both lit is left out (the square already fills it).
// `copies` glyphs, each one panel pixel right of the last (bold).
void drawFineGlyph(Image& image, char c, const GlyphPlace& place, int copies, Colour colour,
                   float opacity) {
  struct Segment {
    float x1, y1, x2, y2;
  };
  std::vector<Segment> strokes;
  float left = 1e9f, top = 1e9f, right = -1e9f, bottom = -1e9f;
  const auto lit = [c](int column, int row) { return glyphPixel(c, column, row); };
  for (int copy = 0; copy < copies; ++copy) {
    for (int row = 0; row < 7; ++row) {
      for (int column = 0; column < 5; ++column) {
        if (!lit(column, row)) continue;
        const auto [x, y] = place(column, row);
        const float cx = x + 0.5f + static_cast<float>(copy), cy = y + 0.5f;
        strokes.push_back({cx, cy, cx, cy});
        left = std::min(left, cx), right = std::max(right, cx);
        top = std::min(top, cy), bottom = std::max(bottom, cy);
        const int steps[4][2] = {{1, 0}, {0, 1}, {1, 1}, {-1, 1}};
        for (const auto& step : steps) {
          const int nc = column + step[0], nr = row + step[1];
          if (!lit(nc, nr)) continue;
          const bool diagonal = step[0] != 0 && step[1] != 0;
          if (diagonal && lit(nc, row) && lit(column, nr)) continue;
          const auto [nx, ny] = place(nc, nr);
          strokes.push_back({cx, cy, nx + 0.5f + static_cast<float>(copy), ny + 0.5f});
        }
      }
    }
  }
  if (strokes.empty()) return;
  const float r2 = kPenRadius * kPenRadius;
  image.fillShape(
      left - 1, top - 1, right + 1, bottom + 1,
      [&](float x, float y) {
        for (const Segment& s : strokes) {
          if (segmentDistance2(x, y, s.x1, s.y1, s.x2, s.y2) <= r2) return true;
        }
        return false;
      },
      [colour](float, float) { return colour; }, opacity);
}

}  // namespace

int textWidth(std::string_view text, Weight weight) {
  int width = 0;
  const int extra = weight == Weight::kBold ? 2 : 1;
  for (char c : text) width += glyphWidth(c) - glyphStart(c) + extra;
  return text.empty() ? 0 : width - 1;
}

void drawText(Image& image, int x, int y, std::string_view text, Colour colour, Weight weight,
              float opacity) {
  const bool bold = weight == Weight::kBold;
  for (char c : text) {
    const int start = glyphStart(c);
    if (image.scale() > 1) {
      const GlyphPlace place = [x, y, start](int column, int row) {
        return std::pair{static_cast<float>(x + column - start), static_cast<float>(y + row)};
      };
      drawFineGlyph(image, c, place, bold ? 2 : 1, colour, opacity);
      x += glyphWidth(c) - start + (bold ? 2 : 1);
      continue;
    }
    for (int row = 0; row < 7; ++row) {
      for (int column = start; column < 5; ++column) {
        if (!glyphPixel(c, column, row)) continue;
        image.blend(x + column - start, y + row, colour, opacity);
        if (bold) image.blend(x + column - start + 1, y + row, colour, opacity);
      }
    }
    x += glyphWidth(c) - start + (bold ? 2 : 1);
  }
}

void drawTextCentred(Image& image, int x, int y, std::string_view text, Colour colour,
                     Weight weight, float opacity) {
  drawText(image, x - textWidth(text, weight) / 2, y, text, colour, weight, opacity);
}

void drawTextUp(Image& image, int x, int y, std::string_view text, Colour colour, float opacity) {
  for (char c : text) {
    const int start = glyphStart(c);
    if (image.scale() > 1) {
      const GlyphPlace place = [x, y, start](int column, int row) {
        return std::pair{static_cast<float>(x + row), static_cast<float>(y - (column - start))};
      };
      drawFineGlyph(image, c, place, 1, colour, opacity);
      y -= glyphWidth(c) - start + 1;
      continue;
    }
    for (int row = 0; row < 7; ++row) {
      for (int column = start; column < 5; ++column) {
        if (glyphPixel(c, column, row)) image.blend(x + row, y - (column - start), colour, opacity);
      }
    }
    y -= glyphWidth(c) - start + 1;
  }
}

}  // namespace velmora::skin
