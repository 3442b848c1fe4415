// The pointer's buttons as they are now, wherever the pointer is: what the idle pass asks
// every 15 ms to group a mouse gesture's edits into one undo step.
#pragma once

namespace velmora {

bool leftButtonIsDown();

}  // namespace velmora
