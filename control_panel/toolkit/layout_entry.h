// One row of a layout table: a view's class, rectangle, parent, arguments and parameters.
// Tables are compiled-in and read-only; row 0 is the root ("Canvas", parent -1, the whole
// panel), every other row names an earlier row as parent.
//
// LayoutEntry: one row of a layout table.
#pragma once

#include <cstdint>

namespace velmora {

struct LayoutEntry {
  int32_t id;  // equal to the row index
  int32_t left;
  int32_t right;
  int32_t top;
  int32_t bottom;
  const char* className;  // a registered view class, exact spelling
  int32_t parent;         // row index of the parent, -1 for none
  bool hidden;
  // Newline-separated arguments for the view's init(); may be empty.
  const char* arguments;
  // Parameter indices, one per slot, terminated by -1.
  int32_t parameters[256];
};

}  // namespace velmora
