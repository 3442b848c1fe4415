// The toolkit's key code of a wx key code (i_gui.h), or -1 for keys the panel has no use for.
#pragma once

namespace velmora {

int toolkitKeyCode(int wxKeyCode);

}  // namespace velmora
