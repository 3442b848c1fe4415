// Builds one layout row: its parameter list always ends with -1, whatever the caller lists
// (a list longer than the row holds is cut to fit before the terminator).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "control_panel/toolkit/layout_entry.h"
#include "control_panel/toolkit/rect.h"

namespace velmora {

inline LayoutEntry layoutRow(int id, Rect rect, const char* className, int parent,
                             const char* arguments, const std::vector<int32_t>& parameters = {},
                             bool hidden = false) {
  LayoutEntry entry{id,        rect.left, rect.right, rect.top,  rect.bottom,
                    className, parent,    hidden,     arguments, {}};
  constexpr size_t kCapacity = sizeof entry.parameters / sizeof entry.parameters[0];
  const size_t count = parameters.size() < kCapacity ? parameters.size() : kCapacity - 1;
  for (size_t i = 0; i < count; ++i) entry.parameters[i] = parameters[i];
  entry.parameters[count] = -1;
  return entry;
}

}  // namespace velmora
