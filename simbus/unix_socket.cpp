#include "simbus/unix_socket.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace simbus {

void UniqueFd::reset(int fd) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = fd;
}

ConnectResult connectUnixSocket(const std::string& path) {
  ConnectResult result;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.empty() || path.size() >= sizeof(address.sun_path)) {
    result.error = ENAMETOOLONG;
    return result;
  }
  std::memcpy(address.sun_path, path.data(), path.size());
  UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!fd.valid()) {
    result.error = errno;
    return result;
  }
  int rc = 0;
  do {
    rc = ::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address));
  } while (rc != 0 && errno == EINTR);
  if (rc != 0) {
    result.error = errno;
    return result;
  }
  result.fd = std::move(fd);
  return result;
}

bool nobodyListens(int connectError) {
  return connectError == ENOENT || connectError == ECONNREFUSED;
}

bool sendAll(int fd, std::span<const uint8_t> data) {
  size_t sent = 0;
  while (sent < data.size()) {
    const ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    sent += static_cast<size_t>(n);
  }
  return true;
}

namespace {

// Fills `out` completely; false at end of stream or on an error.
bool receiveExactly(int fd, uint8_t* out, size_t size) {
  size_t got = 0;
  while (got < size) {
    const ssize_t n = ::recv(fd, out + got, size - got, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    got += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

std::optional<wire::Frame> receiveFrame(int fd, std::string* error) {
  std::vector<uint8_t> buffer(wire::kHeaderSize);
  if (!receiveExactly(fd, buffer.data(), buffer.size())) {
    if (error) *error = "connection closed";
    return std::nullopt;
  }
  wire::FrameParse parse = wire::parseFrame(buffer);
  if (parse.status == wire::FrameStatus::Invalid) {
    if (error) *error = parse.error;
    return std::nullopt;
  }
  // The header is valid, so it announces a body of 1 to kMaxFrameBody bytes.
  const size_t bodySize = platform::vhpd::loadLe32(buffer.data());
  buffer.resize(wire::kHeaderSize + bodySize);
  if (!receiveExactly(fd, buffer.data() + wire::kHeaderSize, bodySize)) {
    if (error) *error = "connection closed inside a frame";
    return std::nullopt;
  }
  parse = wire::parseFrame(buffer);
  return std::move(parse.frame);
}

}  // namespace simbus
