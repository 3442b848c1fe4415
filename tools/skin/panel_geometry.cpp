#include "tools/skin/panel_geometry.h"

#include <initializer_list>
#include <string_view>

namespace velmora::skin {
namespace {

Rect rectOf(const LayoutEntry& row) {
  return {row.left, row.right, row.top, row.bottom};
}

// Looks controls up by class and leading parameter ids; remembers whether any was missing
// or ambiguous, so one check at the end covers every look-up.
class Finder {
 public:
  explicit Finder(const LayoutTable& table) : table_(table) {}

  // The row of the one control of `className` whose parameters start with `leading`.
  std::optional<int> find(std::string_view className, std::initializer_list<int> leading) const {
    std::optional<int> found;
    for (const LayoutEntry& row : table_.rows) {
      if (className != row.className || !startsWith(row, leading)) continue;
      if (found) return std::nullopt;
      found = row.id;
    }
    return found;
  }
  bool has(std::string_view className, std::initializer_list<int> leading) const {
    return find(className, leading).has_value();
  }
  Rect need(std::string_view className, std::initializer_list<int> leading) {
    const std::optional<int> row = find(className, leading);
    if (!row) {
      complete_ = false;
      return {};
    }
    return rectOf(table_.rows[static_cast<size_t>(*row)]);
  }
  std::optional<Rect> optional(std::string_view className, std::initializer_list<int> leading) {
    if (!has(className, leading)) return std::nullopt;
    return need(className, leading);
  }
  // Every row of `className` (or every child of row `parent`), in table order; exactly N.
  template <size_t N>
  std::array<Rect, N> all(std::string_view className) {
    return collect<N>([&](const LayoutEntry& row) { return className == row.className; });
  }
  template <size_t N>
  std::array<Rect, N> childrenOf(std::string_view className, std::initializer_list<int> leading) {
    const std::optional<int> parent = find(className, leading);
    if (!parent) complete_ = false;
    return collect<N>([&](const LayoutEntry& row) { return parent && row.parent == *parent; });
  }

  bool complete() const { return complete_; }

 private:
  static bool startsWith(const LayoutEntry& row, std::initializer_list<int> leading) {
    size_t i = 0;
    for (const int id : leading) {
      if (row.parameters[i] == -1 || row.parameters[i] != id) return false;
      ++i;
    }
    return true;
  }
  template <size_t N, typename Match>
  std::array<Rect, N> collect(Match match) {
    std::array<Rect, N> rects{};
    size_t count = 0;
    for (const LayoutEntry& row : table_.rows) {
      if (!match(row)) continue;
      if (count < N) rects[count] = rectOf(row);
      ++count;
    }
    if (count != N) complete_ = false;
    return rects;
  }

  const LayoutTable& table_;
  bool complete_ = true;
};

// Parameter ids as the layouts bind them.
constexpr int kBalances[5] = {53, 54, 56, 58, 60};
constexpr int kSelectors[4] = {55, 57, 59, 61};

}  // namespace

std::optional<PanelGeometry> panelGeometry(const LayoutTable& table) {
  Finder f(table);
  PanelGeometry g;
  g.phantom58 = f.need("flIsStudioButton", {29});
  g.phantom14 = f.need("flIsStudioButton", {28});
  g.insert1 = f.need("flIsStudioButton", {30});
  g.insert2 = f.need("flIsStudioButton", {31});
  g.load = f.need("flPushButton", {36});
  g.save = f.need("flPushButton", {37});
  g.soundCard = f.need("flPushButton", {51});
  g.track = f.need("flPushButton", {52});
  g.linkOutputs = f.need("flButton", {24});
  g.psu = f.need("flButton", {32});
  g.floatWindow = f.need("flButton", {38});
  g.ac3 = f.need("flButton", {34});
  g.midi = f.need("flButton", {33});
  g.shrink = f.optional("flPushButton", {39});
  g.expand = f.optional("flPushButton", {40});
  g.rateLamps = f.childrenOf<6>("flTray6", {41});
  g.syncLamps = f.childrenOf<5>("flTray6", {42});
  g.spdifLamp = f.need("flSyncButton", {46});
  g.adat1Lamp = f.need("flADATButton", {47});
  g.adat2Lamp = f.need("flADATButton", {48});
  g.inUse = f.need("flLockDisplay", {44});
  g.locked = f.need("flLockDisplay", {45});
  g.unitName = f.need("flTextButton", {26});
  g.identify = f.need("flPushButton", {25});
  g.unitSwitch = f.need("flPushButton", {27});
  g.logo = f.need("flLogoButton", {35});

  const std::array<Rect, 4> canvases = f.all<4>("flAlphaCanvas");
  for (int k = 0; k < 4; ++k) {
    // Each child is told apart by the first id of its list, which is its own pair's.
    g.outputs[k] = {canvases[k],
                    f.need("flAlphaButton3", {k}),
                    f.need("flAlphaButton", {4 + k}),
                    f.need("flAlphaButton3", {16 + k}),
                    f.need("flAlphaButton", {8 + k}),
                    f.need("flAlphaButton3", {12 + k}),
                    f.need("flKnob5", {20 + k})};
  }

  if (f.has("flHSlider", {kBalances[0]})) {
    for (int d = 0; d < 5; ++d) {
      RoutingGeometry route{f.need("flHSlider", {kBalances[d]}), {}, {}};
      if (d > 0) {
        route.selector = f.need("flPushButton", {kSelectors[d - 1]});
        route.selectorLamp = f.need("flFXLed", {kSelectors[d - 1]});
      }
      g.routing.push_back(route);
    }
  }

  if (f.has("flADATTray", {179})) {
    InputMixerGeometry mixer;
    for (int c = 0; c < 8; ++c) {
      mixer.strips[c] = {f.need("flVSlider2", {179, 62 + c}), f.need("flKnob4", {179, 70 + c}),
                         f.need("flInputButton", {179, 78 + c}),
                         f.need("flInputButton", {179, 104 + c})};
    }
    for (int q = 0; q < 4; ++q) mixer.links[q] = f.need("flLinkButton", {179, 130 + q});
    mixer.tabs = f.all<4>("flInputMixTabButton");
    mixer.tray = f.need("flADATTray", {179});
    g.inputMixer = mixer;
  }

  if (!f.complete()) return std::nullopt;
  return g;
}

}  // namespace velmora::skin
