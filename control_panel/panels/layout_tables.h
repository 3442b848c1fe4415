// The four layout tables: normal (120 rows, 704 × 394), shrink (79, 456 × 373), AC3 (65,
// 405 × 344) and connection lost (2, 300 × 56). Built once, on first use, and kept until exit.
#pragma once

#include "control_panel/panels/layout_builder.h"

namespace velmora {

const LayoutTable& normalLayoutTable();
const LayoutTable& shrinkLayoutTable();
const LayoutTable& ac3LayoutTable();
const LayoutTable& connectionLostLayoutTable();

}  // namespace velmora
