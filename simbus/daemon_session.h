// One client connection as the daemon sees it: decodes the connection's request frames, runs
// them on the bus and encodes the replies. It owns the handles the client opened (closed when
// the session ends) and remembers whether the client subscribed to bus changes. Free of
// sockets, so the whole dispatch can be fuzzed in-process.
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "simbus/sim_bus.h"
#include "simbus/wire_protocol.h"

namespace simbus {

// What one client may hold of the daemon, so a runaway client cannot exhaust it.
inline constexpr size_t kMaxHandlesPerSession = 1024;
inline constexpr size_t kMaxKnownUnits = 64;
inline constexpr size_t kMaxFaultRules = 256;

class DaemonSession {
 public:
  explicit DaemonSession(SimBus& bus) : bus_(bus) {}
  ~DaemonSession();
  DaemonSession(const DaemonSession&) = delete;
  DaemonSession& operator=(const DaemonSession&) = delete;

  // The reply frame to a request frame, or nullopt when the frame is refused (unknown type,
  // malformed or out-of-bounds payload) with the reason in `error`; the caller then drops
  // the connection.
  std::optional<std::vector<uint8_t>> handle(const wire::Frame& frame, std::string* error);

  bool subscribed() const { return subscribed_; }
  bool stopRequested() const { return stopRequested_; }

 private:
  template <class Req>
  typename Req::Reply run(const Req& request);

  SimBus& bus_;
  std::set<HandleId> handles_;
  bool subscribed_ = false;
  bool stopRequested_ = false;
};

}  // namespace simbus
