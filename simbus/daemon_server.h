// The simulated-bus daemon: one bus shared by every client process over a Unix socket, served
// by a single-threaded poll loop (the bus never blocks: delays travel in its replies), with
// the bus state kept in a state folder across restarts.
#pragma once

#include <string>
#include <vector>

#include "simbus/sim_unit.h"

namespace simbus {

struct ServeOptions {
  std::string socketPath;
  std::string stateFolder;
  // Plugged when the state folder holds no units yet.
  std::vector<UnitSpec> firstUnits;
  // When >= 0, receives "ready\n" and is closed once the daemon listens.
  int readyFd = -1;
};

// Serves until SIGTERM, SIGINT, SIGHUP or a stop request; removes its socket on the way out.
// Returns the process exit code: 0 after a clean stop, 1 when it cannot start.
int runDaemon(const ServeOptions& options);

}  // namespace simbus
