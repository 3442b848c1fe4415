// The Linux driver backend: the simulated bus, chosen by VELMORA_SIMBUS.
//   unset                   the per-user daemon at its default socket, started when none runs
//   inproc[:studio,...]     a bus inside this process with those units (one Studio if none named)
//   anything else           the path of a running daemon's socket
#include <cstdlib>

#include "platform/debug_output.h"
#include "platform/vhpd_client.h"
#include "simbus/backend.h"
#include "simbus/daemon_paths.h"
#include "simbus/socket_client.h"

namespace simbus {

namespace pv = platform::vhpd;

std::shared_ptr<pv::VhpdClient> makeBusClient(const char* selection) {
  const std::string value = selection ? selection : "";
  std::string error;
  if (value.empty()) {
    if (auto client = connectDaemon(defaultSocketPath(), true, &error)) return client;
  } else if (selectsInprocBus(value)) {
    if (auto client = makeInprocBus(value, error)) return client;
  } else {
    if (auto client = connectDaemon(value, false, &error)) return client;
  }
  platform::outputDebugString("simulated bus unreachable: " + error + "\n");
  return makeUnreachableBus();
}

}  // namespace simbus

std::shared_ptr<platform::vhpd::VhpdClient> platform::vhpd::makeDefaultClient() {
  return simbus::makeBusClient(std::getenv("VELMORA_SIMBUS"));
}
