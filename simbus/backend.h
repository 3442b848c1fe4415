// Choosing the simulated bus a program talks to (the VELMORA_SIMBUS variable).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/vhpd_client.h"
#include "simbus/sim_bus.h"
#include "simbus/unit_model.h"

namespace simbus {

// "studio,compact" -> the models, in order; nullopt for an unknown name.
std::optional<std::vector<Model>> parseInprocUnits(std::string_view list);

// Whether a VELMORA_SIMBUS value names the in-process bus ("inproc" or "inproc:...").
bool selectsInprocBus(std::string_view value);

// An in-process bus with the units the value names; null, with `error` set, for an unknown
// model.
std::shared_ptr<platform::vhpd::VhpdClient> makeInprocBus(std::string_view value,
                                                          std::string& error);

// What a bus's driver and units have come to, one record per line:
//   bus restarts=N
//   unit serial=N model=studio|compact firmware=X.Y.Z on-bus=0|1
// An in-process bus appends this to the file VELMORA_SIMBUS_END_STATE names when the program
// ends.
std::string describeEndState(const SimBus& bus);

// A driver without units on which nothing opens.
std::shared_ptr<platform::vhpd::VhpdClient> makeUnreachableBus();

// The client for a VELMORA_SIMBUS value (null: unset). Never null: an unreachable bus gives
// a driver without units, and the reason goes to the debugger output.
std::shared_ptr<platform::vhpd::VhpdClient> makeBusClient(const char* selection);

}  // namespace simbus
