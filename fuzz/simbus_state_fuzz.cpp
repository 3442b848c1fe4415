// Arbitrary text as a saved bus state: loading never crashes, and what loads saves again to
// a state that loads to the same text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "simbus/sim_bus.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  simbus::SimBus bus;
  const std::string text(reinterpret_cast<const char*>(data), size);
  if (!bus.loadState(text)) return 0;
  const std::string saved = bus.saveState();
  simbus::SimBus again;
  if (!again.loadState(saved) || again.saveState() != saved) __builtin_trap();
  return 0;
}
