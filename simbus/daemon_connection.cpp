#include "simbus/daemon_connection.h"

#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>

namespace simbus {

std::string noDaemonMessage(const std::string& socketPath) {
  return "no simulated bus is running at " + socketPath + " (start one with: velmora-simbus serve)";
}

std::shared_ptr<DaemonConnection> DaemonConnection::open(const std::string& socketPath,
                                                         std::string* error,
                                                         bool* nobodyListening) {
  if (nobodyListening) *nobodyListening = false;
  ConnectResult connected = connectUnixSocket(socketPath);
  if (!connected.fd.valid()) {
    const bool nobody = nobodyListens(connected.error);
    if (nobodyListening) *nobodyListening = nobody;
    if (error) {
      *error = nobody ? noDaemonMessage(socketPath)
                      : "cannot connect to " + socketPath + ": " + std::strerror(connected.error);
    }
    return nullptr;
  }
  auto connection = std::make_shared<DaemonConnection>(std::move(connected.fd));
  const std::optional<wire::HelloRequest::Reply> hello = connection->call(wire::HelloRequest{});
  if (!hello) {
    if (error) *error = "the simulated bus at " + socketPath + " did not answer";
    return nullptr;
  }
  if (hello->version != wire::kProtocolVersion) {
    if (error) {
      *error = "the simulated bus at " + socketPath + " speaks protocol " +
               std::to_string(hello->version) + ", this program " +
               std::to_string(wire::kProtocolVersion);
    }
    return nullptr;
  }
  return connection;
}

std::optional<wire::Frame> DaemonConnection::exchange(const std::vector<uint8_t>& request) {
  if (lost_) return std::nullopt;
  if (!sendAll(fd_.get(), request)) {
    markLost("the simulated bus went away");
    return std::nullopt;
  }
  for (;;) {
    std::string why;
    std::optional<wire::Frame> frame = receiveFrame(fd_.get(), &why);
    if (!frame) {
      markLost("the simulated bus went away: " + why);
      return std::nullopt;
    }
    if (frame->type != static_cast<uint8_t>(wire::MessageType::BusChanged)) return frame;
  }
}

bool DaemonConnection::waitUntilClosed(int timeoutMs) {
  std::lock_guard lock(mutex_);
  pollfd p{fd_.get(), POLLIN, 0};
  for (;;) {
    const int ready = ::poll(&p, 1, timeoutMs);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return false;
    uint8_t scratch[256];
    const ssize_t n = ::recv(fd_.get(), scratch, sizeof scratch, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      lost_ = true;
      lostReason_ = "the simulated bus stopped";
      return true;
    }
  }
}

bool DaemonConnection::lost() const {
  std::lock_guard lock(mutex_);
  return lost_;
}

std::string DaemonConnection::lostReason() const {
  std::lock_guard lock(mutex_);
  return lostReason_;
}

void DaemonConnection::markLost(std::string reason) {
  if (lost_) return;
  lost_ = true;
  lostReason_ = std::move(reason);
  // Nothing more is read from a connection out of step with its requests.
  ::shutdown(fd_.get(), SHUT_RDWR);
}

}  // namespace simbus
