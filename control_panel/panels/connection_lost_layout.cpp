// The connection-lost layout, 300 × 56: the two canvases and their picture.
#include "control_panel/panels/layout_tables.h"

namespace velmora {

const LayoutTable& connectionLostLayoutTable() {
  static const LayoutTable table = LayoutBuilder(300, 56, "ConnectionLost.bmp").finish();
  return table;
}

}  // namespace velmora
