// Unix stream sockets and descriptors as the daemon and its clients use them.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>

#include "simbus/wire_protocol.h"

namespace simbus {

// Owns a file descriptor; closes it on destruction.
class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd() { reset(); }
  UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  int release() { return std::exchange(fd_, -1); }
  void reset(int fd = -1);

 private:
  int fd_ = -1;
};

struct ConnectResult {
  UniqueFd fd;
  int error = 0;  // errno of the failed step; ENOENT/ECONNREFUSED mean nobody listens
};

// A blocking, close-on-exec connection to the socket at `path`.
ConnectResult connectUnixSocket(const std::string& path);

// True when a connect error means that no daemon listens at the path.
bool nobodyListens(int connectError);

// Writes all of `data` to a blocking socket without raising SIGPIPE.
bool sendAll(int fd, std::span<const uint8_t> data);

// Reads one whole frame from a blocking socket. nullopt on end of stream, a read error or an
// invalid header, with the reason in `error`.
std::optional<wire::Frame> receiveFrame(int fd, std::string* error);

}  // namespace simbus
