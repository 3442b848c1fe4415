// A request/response connection to the simulated-bus daemon, shared by the threads of one
// client: each call sends a request and waits for its reply under one lock. Once the daemon
// is lost every later call fails at once.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "simbus/unix_socket.h"
#include "simbus/wire_protocol.h"

namespace simbus {

class DaemonConnection {
 public:
  // Connects and greets the daemon at `socketPath`. nullptr with the reason in `error`; when
  // nobody listens there, `*nobodyListening` is set.
  static std::shared_ptr<DaemonConnection> open(const std::string& socketPath, std::string* error,
                                                bool* nobodyListening = nullptr);

  explicit DaemonConnection(UniqueFd fd) : fd_(std::move(fd)) {}

  // The daemon's reply to `request`, or nullopt when the connection is (or gets) lost.
  template <class Req>
  std::optional<typename Req::Reply> call(const Req& request) {
    std::lock_guard lock(mutex_);
    std::optional<wire::Frame> frame = exchange(wire::encodeRequest(request));
    if (!frame) return std::nullopt;
    std::optional<typename Req::Reply> reply = wire::decodeReply<Req>(*frame);
    if (!reply) markLost("unexpected " + std::string(wire::messageName(frame->type)));
    return reply;
  }

  // Waits until the daemon closes the connection, at most `timeoutMs` of real time.
  bool waitUntilClosed(int timeoutMs);

  bool lost() const;
  std::string lostReason() const;
  int fd() const { return fd_.get(); }

 private:
  // Sends a request frame and returns the next reply frame, skipping pushed notifications.
  std::optional<wire::Frame> exchange(const std::vector<uint8_t>& request);
  void markLost(std::string reason);

  mutable std::mutex mutex_;
  UniqueFd fd_;
  bool lost_ = false;
  std::string lostReason_;
};

// The message a command shows when no daemon listens at `socketPath`.
std::string noDaemonMessage(const std::string& socketPath);

}  // namespace simbus
