// velmoractl units [--json]: every unit the device link finds.
#include <cstdio>

#include "cli/commands.h"
#include "cli/unit_access.h"
#include "platform/unit_info_block.h"

namespace velmoractl {

int unitsCommand(Args args) {
  const bool json = takeFlag(args, "--json");
  if (!args.empty()) return fail(kExitUsage, "units: unexpected argument " + args.front());
  UnitAccess access;
  const uint32_t status = access.Open();
  if (status != 0) return fail(kExitFailure, "cannot reach the units: " + describeStatus(status));

  if (json)
    std::printf("[");
  else if (access.Units().empty())
    std::printf("No units found.\n");
  else
    std::printf("%-6s %-10s %-11s %-8s %-9s %s\n", "INDEX", "SERIAL", "SERIAL-HIGH", "MODEL",
                "PROTOCOL", "FIRMWARE");
  bool first = true;
  for (const LinkedUnit& unit : access.Units()) {
    const UnitDescription d = describeUnit(*unit.coefficients);
    const std::string firmware = firmwareWord(d);
    const char* model = d.studio ? "Studio" : "Compact";
    if (json) {
      std::printf(
          "%s\n  {\"index\": %u, \"serial\": %u, \"serialHigh\": %u, \"model\": \"%s\", "
          "\"protocol\": %u, \"firmware\": \"%s\", \"inBootLoader\": %s, \"onBus\": true}",
          first ? "" : ",", unit.index, d.serial, d.serialHigh, model, d.protocol, firmware.c_str(),
          d.inBootLoader ? "true" : "false");
    } else {
      std::printf("%-6u %-10u 0x%08X  %-8s %-9u %s\n", unit.index, d.serial, d.serialHigh, model,
                  d.protocol, firmware.c_str());
    }
    first = false;
  }
  if (json) std::printf("%s]\n", first ? "" : "\n");
  return kExitOk;
}

}  // namespace velmoractl
