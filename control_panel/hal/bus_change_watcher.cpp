#include "control_panel/hal/bus_change_watcher.h"

namespace velmora {

BusChangeWatcher::BusChangeWatcher()
    : subscription_(platform::vhpd::client().subscribeBusChanges(
          [changed = changed_] { changed->store(true); })) {}

}  // namespace velmora
