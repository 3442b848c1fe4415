// Starting the simulated-bus daemon on demand for a client that found none running.
#pragma once

#include <string>

namespace simbus {

// The velmora-simbus program beside the running program.
std::string daemonProgramPath();

// Starts `velmora-simbus serve --socket socketPath` from the running program's folder,
// detached from this process (own session, standard input from /dev/null, output appended to
// "daemon.log" in the socket's folder), and waits until it listens. A daemon that another
// client started at the same moment counts as success. Waits at most about 5 s. False with
// the reason in `error`.
bool startDaemon(const std::string& socketPath, std::string* error);

}  // namespace simbus
