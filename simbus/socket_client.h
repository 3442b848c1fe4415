// The driver interface over the simulated-bus daemon's socket: what a program uses when
// VELMORA_SIMBUS is unset or names a socket.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/vhpd_client.h"
#include "simbus/daemon_paths.h"

namespace simbus {

// The driver interface of the daemon at `socketPath`. When nobody listens there and
// `startIfMissing` is set, starts the daemon beside the running program first. nullptr with
// the reason in `error` when no daemon can be reached. Once the daemon is lost, every call
// answers DeviceNotConnected and subscribers are told once.
std::shared_ptr<platform::vhpd::VhpdClient> connectDaemon(const std::string& socketPath,
                                                          bool startIfMissing, std::string* error);

}  // namespace simbus
