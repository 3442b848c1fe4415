#include "simbus/io_delivery.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "platform/clock.h"

namespace simbus {

namespace pv = platform::vhpd;
namespace we = platform::win_error;

namespace {

pv::IoResult copyOut(const IoReply& reply, std::span<uint8_t> output) {
  const size_t n = std::min({reply.output.size(), output.size(), size_t{reply.bytesReturned}});
  if (n > 0) std::memcpy(output.data(), reply.output.data(), n);
  // A write brings no data back: its count is what the driver took from the caller's buffer.
  const size_t transferred =
      reply.output.empty() ? std::min(output.size(), size_t{reply.bytesReturned}) : n;
  return {reply.error, static_cast<uint32_t>(transferred)};
}

class DelayedReply final : public pv::PendingIo {
 public:
  DelayedReply(IoReply reply, std::span<uint8_t> output)
      : reply_(std::move(reply)), output_(output), issued_(platform::clock().tickCount()) {}

  bool poll() override {
    if (done_) return true;
    if (reply_.dropped) return false;
    if (platform::ticksElapsed(issued_, platform::clock().tickCount()) < reply_.delayMs) {
      return false;
    }
    result_ = copyOut(reply_, output_);
    done_ = true;
    return true;
  }
  pv::IoResult result() const override { return result_; }
  void cancel() override {
    if (done_) return;
    result_ = {we::OperationAborted, 0};
    done_ = true;
  }

 private:
  IoReply reply_;
  std::span<uint8_t> output_;
  uint32_t issued_;
  bool done_ = false;
  pv::IoResult result_;
};

}  // namespace

pv::IoCall deliverReply(IoReply reply, std::span<uint8_t> output, pv::OpenMode mode) {
  pv::IoCall call;
  if (reply.delayMs == 0 && !reply.dropped) {
    call.immediate = copyOut(reply, output);
    return call;
  }
  auto pending = std::make_unique<DelayedReply>(std::move(reply), output);
  if (mode == pv::OpenMode::Synchronous) {
    // A synchronous handle blocks until the driver answers, however long that takes.
    while (!pending->poll()) platform::clock().sleep(1);
    call.immediate = pending->result();
    return call;
  }
  call.immediate = {we::IoPending, 0};
  call.pending = std::move(pending);
  return call;
}

}  // namespace simbus
