#include "platform/vhpd_client.h"

#include <mutex>
#include <utility>

#include "platform/clock.h"

namespace platform::vhpd {

namespace {
std::mutex clientMutex;
std::shared_ptr<VhpdClient> currentClient;
}  // namespace

IoResult completeIo(IoCall call, std::optional<uint32_t> timeoutMs) {
  if (!call.isPending()) return call.immediate;
  PendingIo& io = *call.pending;
  Clock& c = clock();
  const uint32_t start = c.tickCount();
  while (!io.poll()) {
    if (timeoutMs && ticksElapsed(start, c.tickCount()) >= *timeoutMs) {
      io.cancel();
      // The driver may still write the buffers until the cancelled request completes.
      while (!io.poll()) c.sleep(1);
      return {win_error::WaitTimeout, 0};
    }
    c.sleep(1);
  }
  return io.result();
}

VhpdClient& client() {
  std::lock_guard lock(clientMutex);
  if (!currentClient) currentClient = makeDefaultClient();
  return *currentClient;
}

ScopedClient::ScopedClient(std::shared_ptr<VhpdClient> replacement) {
  std::lock_guard lock(clientMutex);
  previous_ = std::exchange(currentClient, std::move(replacement));
}

ScopedClient::~ScopedClient() {
  std::lock_guard lock(clientMutex);
  currentClient = std::move(previous_);
}

}  // namespace platform::vhpd
