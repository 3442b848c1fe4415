// A driver that passes everything to another one but lets a test change what unit reads
// bring back: a unit with odd bytes in its windows, or a driver that reports short transfers.
#pragma once

#include <functional>
#include <memory>
#include <span>

#include "platform/vhpd_client.h"
#include "tests/fwdl/forwarding_client.h"

namespace fwdl::test {

// Changes a completed read of `address`: its data and the byte count the driver reports.
using ReadTamper = std::function<void(uint64_t address, std::span<uint8_t> data,
                                      platform::vhpd::IoResult& result)>;

class TamperingClient final : public ForwardingClient {
 public:
  TamperingClient(std::shared_ptr<platform::vhpd::VhpdClient> inner, ReadTamper tamper)
      : ForwardingClient(std::move(inner)), tamper_(std::move(tamper)) {}

  uint32_t open(const std::string& path, platform::vhpd::OpenMode mode,
                std::unique_ptr<platform::vhpd::DeviceHandle>& handle) override {
    std::unique_ptr<platform::vhpd::DeviceHandle> real;
    const uint32_t error = inner().open(path, mode, real);
    if (error == 0) handle = std::make_unique<Handle>(std::move(real), tamper_);
    return error;
  }

 private:
  class Handle final : public platform::vhpd::DeviceHandle {
   public:
    Handle(std::unique_ptr<platform::vhpd::DeviceHandle> inner, ReadTamper tamper)
        : inner_(std::move(inner)), tamper_(std::move(tamper)) {}
    platform::vhpd::IoCall ioControl(uint32_t code, std::span<const uint8_t> input,
                                     std::span<uint8_t> output) override {
      platform::vhpd::IoCall call = inner_->ioControl(code, input, output);
      if (code != platform::vhpd::IOCTL_VHPD_ASYNC_READ) return call;
      platform::vhpd::IoCall done;
      done.immediate = platform::vhpd::completeIo(std::move(call));
      if (done.immediate.error == 0) {
        tamper_(platform::vhpd::asyncRequestAddress(input.data()), output, done.immediate);
      }
      return done;
    }

   private:
    std::unique_ptr<platform::vhpd::DeviceHandle> inner_;
    ReadTamper tamper_;
  };

  ReadTamper tamper_;
};

}  // namespace fwdl::test
