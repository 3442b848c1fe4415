// The Windows driver backend, chosen by VELMORA_SIMBUS:
//   unset                   the interfaces' 1394 bus driver (platform/win32)
//   inproc[:studio,...]     a simulated bus inside this process with those units
// The simulated bus's daemon is a Linux program; any other value reaches no bus.
#include <cstdlib>

#include "platform/debug_output.h"
#include "platform/vhpd_client.h"
#include "platform/win32/vhpd_driver.h"
#include "simbus/backend.h"

namespace simbus {

namespace pv = platform::vhpd;

std::shared_ptr<pv::VhpdClient> makeBusClient(const char* selection) {
  const std::string value = selection ? selection : "";
  if (value.empty()) return pv::win32::makeDriverClient();
  std::string error = "VELMORA_SIMBUS: no simulated bus daemon on Windows, only inproc";
  if (selectsInprocBus(value)) {
    if (auto client = makeInprocBus(value, error)) return client;
  }
  platform::outputDebugString("simulated bus unreachable: " + error + "\n");
  return makeUnreachableBus();
}

}  // namespace simbus

std::shared_ptr<platform::vhpd::VhpdClient> platform::vhpd::makeDefaultClient() {
  return simbus::makeBusClient(std::getenv("VELMORA_SIMBUS"));
}
