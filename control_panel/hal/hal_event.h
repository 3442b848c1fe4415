// What the hardware abstraction tells its observers.
#pragma once

namespace velmora {

enum HalEvent : int {
  kHalEventRefresh = 0,     // rates or settings changed
  kHalEventUnitReady = 2,   // an open completed
  kHalEventUnitClosed = 3,  // the current unit was closed
};

}  // namespace velmora
