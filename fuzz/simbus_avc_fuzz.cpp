// Arbitrary requests to a simulated unit: the bytes are split into a control code choice, an
// input record and an output buffer, then sent through the driver model, so AV/C frames,
// FCP records, transfer requests and buffer sizes are all exercised.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/vhpd_protocol.h"
#include "simbus/sim_bus.h"

namespace pv = platform::vhpd;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static constexpr uint32_t kCodes[] = {
      pv::IOCTL_VHPD_FCP_TRANSACTION,  pv::IOCTL_VHPD_ASYNC_READ,
      pv::IOCTL_VHPD_ASYNC_WRITE,      pv::IOCTL_VHPD_GET_DEVICE_PROPERTIES,
      pv::IOCTL_VHPD_GET_DRIVER_INFO,  pv::IOCTL_VHPD_GET_RESET_GENERATION_COUNT,
      pv::IOCTL_VHPD_GET_DEVICE_FLAGS, pv::IOCTL_VHPD_GET_SAMPLE_RATE,
  };
  if (size < 3) return 0;
  simbus::SimBus bus;
  const uint32_t serial = bus.plug(simbus::UnitSpec{}).value();
  simbus::HandleId handle = 0;
  if (bus.open(simbus::SimBus::devicePath(uint64_t{simbus::kDefaultSerialHigh} << 32 | serial),
               handle) != 0) {
    return 0;
  }
  const uint32_t code = kCodes[data[0] % (sizeof kCodes / sizeof kCodes[0])];
  const size_t outputSize = size_t{data[1]} * 8;
  const std::vector<uint8_t> input(data + 2, data + size);
  // An FCP request is a fixed-size record: pad the fuzzed bytes into one.
  std::vector<uint8_t> record = input;
  if (code == pv::IOCTL_VHPD_FCP_TRANSACTION) record.resize(pv::kFcpRequestSize, 0);
  const std::vector<uint8_t> output(
      code == pv::IOCTL_VHPD_FCP_TRANSACTION ? pv::kFcpResponseSize : outputSize, 0xA5);
  const simbus::IoReply reply = bus.ioControl(handle, code, record, output);
  // The driver never returns more than the caller's buffer holds; a read returns the data it
  // counts (a write brings none back).
  if (reply.bytesReturned > output.size() || reply.output.size() > output.size() ||
      (!reply.output.empty() && reply.output.size() < reply.bytesReturned)) {
    __builtin_trap();
  }
  return 0;
}
