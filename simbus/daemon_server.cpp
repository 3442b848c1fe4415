#include "simbus/daemon_server.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <list>
#include <memory>

#include "platform/clock.h"
#include "platform/paths.h"
#include "simbus/daemon_paths.h"
#include "simbus/daemon_session.h"
#include "simbus/sim_bus.h"
#include "simbus/state_store.h"
#include "simbus/unix_socket.h"
#include "simbus/wire_protocol.h"

namespace simbus {

namespace {

constexpr size_t kMaxConnections = 256;
constexpr size_t kReadChunk = 64 * 1024;
// A client that stops reading its replies or notifications is dropped past this much.
constexpr size_t kMaxPendingOutput = 1024 * 1024;
constexpr int kListenBacklog = 64;
// Changes are saved at most this often, so a stream of coefficient writes does not turn into a
// stream of file writes; a stop saves at once.
constexpr uint32_t kSaveIntervalMs = 250;

void logLine(const std::string& text) {
  std::fprintf(stderr, "velmora-simbus: %s\n", text.c_str());
  std::fflush(stderr);
}

// ---- Signals reach the poll loop through a self-pipe ----

int signalPipeWrite = -1;

extern "C" void onStopSignal(int) {
  const int savedErrno = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = ::write(signalPipeWrite, &byte, 1);
  errno = savedErrno;
}

bool installSignalHandlers(UniqueFd& readEnd, std::string* error) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
    *error = std::string("cannot create the signal pipe: ") + std::strerror(errno);
    return false;
  }
  readEnd.reset(fds[0]);
  signalPipeWrite = fds[1];
  struct sigaction action {};
  action.sa_handler = onStopSignal;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(signal, &action, nullptr);
  ::signal(SIGPIPE, SIG_IGN);
  return true;
}

// An exclusive lock held for the daemon's life: a second daemon for the same socket or state
// folder finds it taken.
bool lockFile(const std::string& path, UniqueFd& lock, bool* busy, std::string* error) {
  *busy = false;
  lock.reset(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
  if (!lock.valid()) {
    *error = "cannot open " + path + ": " + std::strerror(errno);
    return false;
  }
  if (::flock(lock.get(), LOCK_EX | LOCK_NB) != 0) {
    *busy = errno == EWOULDBLOCK;
    *error = *busy ? "in use" : std::strerror(errno);
    return false;
  }
  return true;
}

struct Connection {
  Connection(UniqueFd socket, SimBus& bus, uint64_t number)
      : fd(std::move(socket)), id(number), session(bus) {}
  UniqueFd fd;
  uint64_t id;
  std::vector<uint8_t> in;
  std::vector<uint8_t> out;
  DaemonSession session;
  bool closed = false;
};

class DaemonServer {
 public:
  explicit DaemonServer(const ServeOptions& options)
      : options_(options), store_(options.stateFolder) {}

  int run() {
    std::string error;
    if (!installSignalHandlers(signalRead_, &error) || !claimStateFolder(&error) ||
        !loadState(&error) || !listen(&error)) {
      logLine(error);
      return 1;
    }
    subscription_ = bus_.subscribe([this] { busChanged_ = true; });
    announceReady();
    logLine("serving " + options_.socketPath + " (state " + options_.stateFolder + ")");
    loop();
    shutdown();
    return 0;
  }

 private:
  bool claimStateFolder(std::string* error) {
    if (!makePrivateFolders(options_.stateFolder, error)) return false;
    bool busy = false;
    if (lockFile(platform::joinPath(options_.stateFolder, "lock"), stateLock_, &busy, error)) {
      return true;
    }
    *error = busy ? "the state folder " + options_.stateFolder + " is in use by another daemon"
                  : "cannot lock the state folder: " + *error;
    return false;
  }

  bool loadState(std::string* error) {
    std::string detail;
    switch (store_.load(bus_, &detail)) {
      case StateStore::Loaded::Failed:
        *error = detail;
        return false;
      case StateStore::Loaded::Corrupt:
        logLine(detail + "; starting with a fresh bus");
        break;
      case StateStore::Loaded::Restored:
      case StateStore::Loaded::Nothing:
        break;
    }
    if (bus_.units().empty()) {
      for (const UnitSpec& spec : options_.firstUnits) {
        std::string why;
        if (!bus_.plug(spec, &why)) logLine("cannot plug a first unit: " + why);
      }
    }
    if (!store_.saveIfChanged(bus_, error)) return false;
    return true;
  }

  bool listen(std::string* error) {
    const std::string& path = options_.socketPath;
    if (!prepareSocketFolder(path, error)) return false;
    bool busy = false;
    if (!lockFile(path + ".lock", socketLock_, &busy, error)) {
      *error = busy ? "a simulated bus is already running at " + path
                    : "cannot lock " + path + ".lock: " + *error;
      return false;
    }
    struct stat status {};
    if (::lstat(path.c_str(), &status) == 0) {
      if (!S_ISSOCK(status.st_mode)) {
        *error = path + " exists and is not a socket";
        return false;
      }
      if (connectUnixSocket(path).fd.valid()) {
        *error = "a simulated bus is already running at " + path;
        return false;
      }
      // Left by a daemon that died without cleaning up.
      logLine("replacing the stale socket " + path);
      ::unlink(path.c_str());
    }
    listener_.reset(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.data(), path.size());
    if (!listener_.valid() ||
        ::bind(listener_.get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) !=
            0 ||
        ::chmod(path.c_str(), 0600) != 0 || ::listen(listener_.get(), kListenBacklog) != 0) {
      *error = "cannot listen at " + path + ": " + std::strerror(errno);
      return false;
    }
    listening_ = true;
    return true;
  }

  void announceReady() {
    if (options_.readyFd < 0) return;
    static constexpr char kReady[] = "ready\n";
    [[maybe_unused]] const ssize_t n = ::write(options_.readyFd, kReady, sizeof kReady - 1);
    ::close(options_.readyFd);
  }

  void loop() {
    std::vector<pollfd> fds;
    while (!stopping_) {
      fds.clear();
      fds.push_back({signalRead_.get(), POLLIN, 0});
      fds.push_back({listener_.get(), POLLIN, 0});
      for (const auto& c : connections_) {
        short events = c->out.size() < kMaxPendingOutput ? POLLIN : 0;
        if (!c->out.empty()) events |= POLLOUT;
        fds.push_back({c->fd.get(), events, 0});
      }
      if (::poll(fds.data(), fds.size(), pollTimeoutMs()) < 0) {
        if (errno == EINTR) continue;
        logLine(std::string("poll failed: ") + std::strerror(errno));
        break;
      }
      if (fds[0].revents != 0) {
        logLine("stopping on a signal");
        stopping_ = true;
      }
      // Connections accepted now are not in `fds` yet; they are polled next round.
      auto c = connections_.begin();
      for (size_t i = 2; i < fds.size(); ++i, ++c) {
        if ((fds[i].revents & (POLLIN | POLLHUP | POLLERR)) != 0) readFrom(**c);
      }
      if ((fds[1].revents & POLLIN) != 0) acceptClients();
      bus_.service();  // units coming back on the bus on their own
      afterRequests();
    }
  }

  void acceptClients() {
    for (;;) {
      UniqueFd fd(::accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
      if (!fd.valid()) return;
      if (connections_.size() >= kMaxConnections) {
        logLine("refused a client: " + std::to_string(kMaxConnections) + " clients connected");
        continue;
      }
      connections_.push_back(std::make_unique<Connection>(std::move(fd), bus_, ++lastId_));
    }
  }

  void readFrom(Connection& c) {
    if (c.closed) return;
    const size_t before = c.in.size();
    c.in.resize(before + kReadChunk);
    const ssize_t n = ::recv(c.fd.get(), c.in.data() + before, kReadChunk, 0);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
      c.in.resize(before);
      return;
    }
    if (n <= 0) {
      c.closed = true;  // the client went away; its handles close with its session
      return;
    }
    c.in.resize(before + static_cast<size_t>(n));
    handleFrames(c);
  }

  void handleFrames(Connection& c) {
    size_t offset = 0;
    while (!c.closed && !stopping_) {
      const wire::FrameParse parse = wire::parseFrame(std::span(c.in).subspan(offset));
      if (parse.status == wire::FrameStatus::NeedMore) break;
      if (parse.status == wire::FrameStatus::Invalid) {
        drop(c, "refused a frame: " + parse.error);
        break;
      }
      offset += parse.consumed;
      std::string error;
      std::optional<std::vector<uint8_t>> reply = c.session.handle(parse.frame, &error);
      if (!reply) {
        drop(c, "refused " + std::string(wire::messageName(parse.frame.type)) + ": " + error);
        break;
      }
      c.out.insert(c.out.end(), reply->begin(), reply->end());
      if (c.session.stopRequested()) {
        logLine("stopping on request of client " + std::to_string(c.id));
        stopping_ = true;
      }
    }
    c.in.erase(c.in.begin(), c.in.begin() + static_cast<ptrdiff_t>(offset));
  }

  void writeTo(Connection& c) {
    if (c.closed || c.out.empty()) return;
    const ssize_t n = ::send(c.fd.get(), c.out.data(), c.out.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
    if (n < 0) {
      c.closed = true;
      return;
    }
    c.out.erase(c.out.begin(), c.out.begin() + n);
  }

  void drop(Connection& c, const std::string& reason) {
    logLine("client " + std::to_string(c.id) + ": " + reason + "; connection dropped");
    c.closed = true;
  }

  // After each round: notify subscribers, send what is pending, save, forget closed clients.
  void afterRequests() {
    if (busChanged_.exchange(false)) {
      const std::vector<uint8_t> message = wire::encodeBusChanged(bus_.generation());
      for (const auto& c : connections_) {
        if (c->session.subscribed() && !c->closed) {
          c->out.insert(c->out.end(), message.begin(), message.end());
        }
      }
    }
    for (const auto& c : connections_) {
      writeTo(*c);
      if (!c->closed && c->out.size() > 2 * kMaxPendingOutput) {
        drop(*c, "stopped reading its messages");
      }
    }
    // Handles die with their session, which may change the bus: saved in a later round.
    connections_.remove_if([](const auto& c) { return c->closed; });
    if (msUntilSave() == 0) saveState();
  }

  // How long the loop may sleep: until a save or a bus event is due; -1 for neither.
  int pollTimeoutMs() const {
    const int save = msUntilSave();
    const std::optional<uint32_t> due = bus_.msUntilDue();
    if (!due) return save;
    const int event = static_cast<int>(*due);
    return save < 0 ? event : std::min(save, event);
  }

  // How long the loop may sleep before a pending save is due: -1 when nothing is pending.
  int msUntilSave() const {
    if (!store_.changed(bus_)) return -1;
    const uint32_t elapsed = platform::ticksElapsed(lastSaveTick_, platform::clock().tickCount());
    return elapsed >= kSaveIntervalMs ? 0 : static_cast<int>(kSaveIntervalMs - elapsed);
  }

  void saveState() {
    lastSaveTick_ = platform::clock().tickCount();
    std::string error;
    if (store_.saveIfChanged(bus_, &error)) {
      lastSaveError_.clear();
    } else if (error != lastSaveError_) {
      logLine(error);
      lastSaveError_ = error;
    }
  }

  void shutdown() {
    bus_.unsubscribe(subscription_);
    saveState();
    if (listening_) ::unlink(options_.socketPath.c_str());
    listener_.reset();
    socketLock_.reset();
    connections_.clear();
    saveState();
    stateLock_.reset();
    logLine("stopped");
  }

  const ServeOptions options_;
  // Declared before the connections, so it outlives every session that refers to it.
  SimBus bus_;
  StateStore store_;
  UniqueFd signalRead_;
  UniqueFd stateLock_;
  UniqueFd socketLock_;
  UniqueFd listener_;
  bool listening_ = false;
  std::list<std::unique_ptr<Connection>> connections_;
  uint64_t lastId_ = 0;
  uint64_t subscription_ = 0;
  std::atomic<bool> busChanged_ = false;
  bool stopping_ = false;
  std::string lastSaveError_;
  uint32_t lastSaveTick_ = 0;
};

}  // namespace

int runDaemon(const ServeOptions& options) {
  DaemonServer server(options);
  return server.run();
}

}  // namespace simbus
