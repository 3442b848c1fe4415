// A simulated bus in this process, reached through the driver interface as programs reach it,
// on a fake clock.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/vhpd_client.h"
#include "simbus/inproc_client.h"
#include "simbus/sim_bus.h"
#include "tests/support/bus_harness.h"

namespace simbus::test {

namespace pv = platform::vhpd;
namespace we = platform::win_error;

struct Reply {
  uint32_t error = 0;
  uint32_t bytes = 0;
  std::vector<uint8_t> data;
};

// DeviceIoControl waited to completion.
inline Reply call(pv::DeviceHandle& h, uint32_t code, std::vector<uint8_t> input,
                  std::vector<uint8_t> output) {
  Reply r;
  r.data = std::move(output);
  const pv::IoResult result = pv::completeIo(h.ioControl(code, input, r.data));
  r.error = result.error;
  r.bytes = result.bytesReturned;
  return r;
}

inline Reply read(pv::DeviceHandle& h, uint64_t address, size_t length) {
  const auto request = pv::makeAsyncRequest(address);
  return call(h, pv::IOCTL_VHPD_ASYNC_READ, {request.begin(), request.end()},
              std::vector<uint8_t>(length, 0));
}

inline Reply write(pv::DeviceHandle& h, uint64_t address, std::vector<uint8_t> data) {
  const auto request = pv::makeAsyncRequest(address);
  return call(h, pv::IOCTL_VHPD_ASYNC_WRITE, {request.begin(), request.end()}, std::move(data));
}

inline std::vector<uint8_t> be32(std::initializer_list<uint32_t> words) {
  std::vector<uint8_t> out(words.size() * 4);
  size_t i = 0;
  for (uint32_t w : words) pv::storeBe32(out.data() + 4 * i++, w);
  return out;
}

inline uint64_t coefficientAddress(uint32_t index) {
  return kCoefficientBase + 4ull * index;
}

class BusFixture : public ::testing::Test, protected platform::test::BusHarness {
 protected:
  // A client of the test's own, beside the one the harness makes the process's.
  std::shared_ptr<pv::VhpdClient> client = makeInprocClient(bus);

  uint32_t plug(Model model = Model::Studio, uint32_t serial = 0) {
    return bus->plug(UnitSpec{model, serial}).value();
  }

  std::unique_ptr<pv::DeviceHandle> openUnit(uint32_t serial,
                                             pv::OpenMode mode = pv::OpenMode::Overlapped) {
    std::unique_ptr<pv::DeviceHandle> handle;
    const std::string path = SimBus::devicePath(uint64_t{kDefaultSerialHigh} << 32 | serial);
    EXPECT_EQ(client->open(path, mode, handle), we::Success);
    return handle;
  }

  std::unique_ptr<pv::DeviceHandle> openControl() {
    std::unique_ptr<pv::DeviceHandle> handle;
    EXPECT_EQ(client->open(std::string("\\\\.\\") + pv::kInterfaceGuidText,
                           pv::OpenMode::Synchronous, handle),
              we::Success);
    return handle;
  }
};

}  // namespace simbus::test
