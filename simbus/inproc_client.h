// The driver interface over a bus inside this process (VELMORA_SIMBUS=inproc...): what tests
// use. Several clients may share one bus, like several processes share the daemon.
#pragma once

#include <memory>

#include "platform/vhpd_client.h"
#include "simbus/sim_bus.h"

namespace simbus {

std::shared_ptr<platform::vhpd::VhpdClient> makeInprocClient(std::shared_ptr<SimBus> bus);

}  // namespace simbus
