// Where the panel layouts put each control the backgrounds print, read from the layout tables
// themselves, so that the skin and the panel share one set of coordinates.
#pragma once

#include <array>
#include <optional>
#include <vector>

#include "control_panel/panels/layout_builder.h"
#include "control_panel/toolkit/rect.h"

namespace velmora::skin {

// One output section: its canvas and six children.
struct OutputGeometry {
  Rect canvas, hardware, pad, dim, solo, mute, level;
};

// One destination of the routing: its balance, and for destinations 1-4 the playback
// selector and its lamp.
struct RoutingGeometry {
  Rect balance;
  std::optional<Rect> selector, selectorLamp;
};

// One channel strip of the input mixer.
struct StripGeometry {
  Rect fader, pan, solo, mute;
};

struct InputMixerGeometry {
  std::array<StripGeometry, 8> strips;
  std::array<Rect, 4> links;  // per pair
  std::array<Rect, 4> tabs;   // analogue, S/PDIF, ADAT 1, ADAT 2
  Rect tray;                  // over strips 3-8
};

struct PanelGeometry {
  Rect phantom58, phantom14, insert1, insert2;
  Rect load, save, soundCard, track, linkOutputs, psu, floatWindow, ac3, midi;
  std::optional<Rect> shrink, expand;
  std::array<Rect, 6> rateLamps;
  std::array<Rect, 5> syncLamps;  // S/PDIF, ADAT 1, ADAT 2, word clock, internal
  Rect spdifLamp, adat1Lamp, adat2Lamp;
  Rect inUse, locked;
  Rect unitName, identify, unitSwitch, logo;
  std::array<OutputGeometry, 4> outputs;
  std::vector<RoutingGeometry> routing;  // destinations 0-4, or none
  std::optional<InputMixerGeometry> inputMixer;
};

// The geometry of a main layout; nothing when the table lacks a control every main layout
// has, or names one twice.
std::optional<PanelGeometry> panelGeometry(const LayoutTable& table);

}  // namespace velmora::skin
