// A driver that passes everything to another one and keeps a copy of every device I/O control
// on a unit: its code, its input and its output buffer as they stood when the call completed.
#pragma once

#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "platform/vhpd_client.h"
#include "tests/fwdl/forwarding_client.h"

namespace fwdl::test {

struct RecordedIo {
  uint32_t code = 0;
  std::vector<uint8_t> input;
  std::vector<uint8_t> output;
};

class RecordingClient final : public ForwardingClient {
 public:
  explicit RecordingClient(std::shared_ptr<platform::vhpd::VhpdClient> inner)
      : ForwardingClient(std::move(inner)) {}

  std::vector<RecordedIo> calls() const {
    std::lock_guard lock(log_->mutex);
    return log_->calls;
  }

  uint32_t open(const std::string& path, platform::vhpd::OpenMode mode,
                std::unique_ptr<platform::vhpd::DeviceHandle>& handle) override {
    std::unique_ptr<platform::vhpd::DeviceHandle> real;
    const uint32_t error = inner().open(path, mode, real);
    if (error == 0) handle = std::make_unique<Handle>(std::move(real), log_);
    return error;
  }

 private:
  struct Log {
    std::mutex mutex;
    std::vector<RecordedIo> calls;
  };

  class Handle final : public platform::vhpd::DeviceHandle {
   public:
    Handle(std::unique_ptr<platform::vhpd::DeviceHandle> inner, std::shared_ptr<Log> log)
        : inner_(std::move(inner)), log_(std::move(log)) {}
    platform::vhpd::IoCall ioControl(uint32_t code, std::span<const uint8_t> input,
                                     std::span<uint8_t> output) override {
      platform::vhpd::IoCall done;
      done.immediate = platform::vhpd::completeIo(inner_->ioControl(code, input, output));
      std::lock_guard lock(log_->mutex);
      log_->calls.push_back({code, std::vector(input.begin(), input.end()),
                             std::vector(output.begin(), output.end())});
      return done;
    }

   private:
    std::unique_ptr<platform::vhpd::DeviceHandle> inner_;
    std::shared_ptr<Log> log_;
  };

  std::shared_ptr<Log> log_ = std::make_shared<Log>();
};

}  // namespace fwdl::test
