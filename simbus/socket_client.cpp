#include "simbus/socket_client.h"

#include <sys/socket.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <thread>

#include "simbus/daemon_connection.h"
#include "simbus/daemon_launcher.h"
#include "simbus/io_delivery.h"
#include "simbus/wire_protocol.h"

namespace simbus {

namespace pv = platform::vhpd;
namespace we = platform::win_error;

namespace {

// ---- Bus-change notifications: a second connection read by its own thread ----

// Shared by the reader thread, the client and every subscription, so whichever goes last
// frees it.
class NotificationHub {
 public:
  explicit NotificationHub(UniqueFd fd) : fd_(std::move(fd)) {}

  uint64_t add(std::function<void()> onChange) {
    std::lock_guard lock(listMutex_);
    const uint64_t id = nextId_++;
    subscribers_.emplace(id, std::make_shared<std::function<void()>>(std::move(onChange)));
    return id;
  }

  void remove(uint64_t id) {
    // Waits for a running notification so no callback runs after its subscription ended,
    // unless the callback itself ends its subscription.
    std::unique_lock<std::mutex> dispatch;
    if (std::this_thread::get_id() != readerId_.load()) dispatch = std::unique_lock(dispatchMutex_);
    std::lock_guard lock(listMutex_);
    subscribers_.erase(id);
  }

  // The reader thread: one notification per pushed message, and one when the daemon is lost.
  void run() {
    readerId_ = std::this_thread::get_id();
    for (;;) {
      std::optional<wire::Frame> frame = receiveFrame(fd_.get(), nullptr);
      if (!frame) break;
      if (frame->type == static_cast<uint8_t>(wire::MessageType::BusChanged)) notifyAll();
    }
    if (!closing_) notifyAll();
  }

  void close() {
    closing_ = true;
    ::shutdown(fd_.get(), SHUT_RDWR);
  }

 private:
  void notifyAll() {
    std::lock_guard dispatch(dispatchMutex_);
    std::vector<std::shared_ptr<std::function<void()>>> callbacks;
    {
      std::lock_guard lock(listMutex_);
      for (const auto& [id, callback] : subscribers_) callbacks.push_back(callback);
    }
    for (const auto& callback : callbacks) {
      // A subscription removed by an earlier callback of this round is skipped.
      bool live = false;
      {
        std::lock_guard lock(listMutex_);
        live = std::any_of(subscribers_.begin(), subscribers_.end(),
                           [&](const auto& entry) { return entry.second == callback; });
      }
      if (live) (*callback)();
    }
  }

  UniqueFd fd_;
  std::mutex dispatchMutex_;
  std::mutex listMutex_;
  std::map<uint64_t, std::shared_ptr<std::function<void()>>> subscribers_;
  uint64_t nextId_ = 1;
  std::atomic<std::thread::id> readerId_{};
  std::atomic<bool> closing_ = false;
};

class SocketSubscription final : public pv::Subscription {
 public:
  SocketSubscription(std::shared_ptr<NotificationHub> hub, uint64_t id)
      : hub_(std::move(hub)), id_(id) {}
  ~SocketSubscription() override { hub_->remove(id_); }

 private:
  std::shared_ptr<NotificationHub> hub_;
  uint64_t id_;
};

// ---- Device handles ----

class SocketHandle final : public pv::DeviceHandle {
 public:
  SocketHandle(std::shared_ptr<DaemonConnection> connection, uint64_t id, pv::OpenMode mode)
      : connection_(std::move(connection)), id_(id), mode_(mode) {}
  ~SocketHandle() override {
    if (!connection_->lost()) connection_->call(wire::CloseRequest{id_});
  }

  pv::IoCall ioControl(uint32_t code, std::span<const uint8_t> input,
                       std::span<uint8_t> output) override {
    wire::IoControlRequest request;
    request.handle = id_;
    request.code = code;
    // A buffered request's output size is only a capacity; a direct one's is the transfer
    // length, which may not be cut short.
    const bool direct = (code & 3) != 0;
    if (input.size() > wire::kMaxIoBytes || (direct && output.size() > wire::kMaxIoBytes)) {
      return immediate(we::InvalidParameter);
    }
    request.outputSize = static_cast<uint32_t>(std::min(output.size(), wire::kMaxIoBytes));
    request.input.assign(input.begin(), input.end());
    if (wire::driverReadsOutput(code)) request.outputData.assign(output.begin(), output.end());
    std::optional<IoReply> reply = connection_->call(request);
    if (!reply) return immediate(we::DeviceNotConnected);
    return deliverReply(std::move(*reply), output, mode_);
  }

 private:
  static pv::IoCall immediate(uint32_t error) {
    pv::IoCall call;
    call.immediate = {error, 0};
    return call;
  }

  std::shared_ptr<DaemonConnection> connection_;
  uint64_t id_;
  pv::OpenMode mode_;
};

// A unit's device node by the number the daemon's enumeration gave.
class SocketNode final : public pv::DeviceNode {
 public:
  SocketNode(std::shared_ptr<DaemonConnection> connection, uint64_t node)
      : connection_(std::move(connection)), node_(node) {}

  uint32_t changeState(pv::DeviceNodeChange change) override {
    const std::optional<wire::StatusReply> reply =
        connection_->call(wire::ChangeDeviceNodeStateRequest{node_, static_cast<uint32_t>(change)});
    return reply ? reply->status : we::DeviceNotConnected;
  }
  uint32_t installFlags(uint32_t& flags) override {
    const std::optional<wire::StatusValueReply> reply =
        connection_->call(wire::DeviceInstallFlagsRequest{node_});
    if (!reply) return we::DeviceNotConnected;
    flags = reply->value;
    return reply->status;
  }
  uint32_t mayChangeState(bool& allowed) override {
    const std::optional<wire::StatusValueReply> reply =
        connection_->call(wire::DeviceNodeRightsRequest{});
    if (!reply) return we::DeviceNotConnected;
    allowed = reply->value != 0;
    return reply->status;
  }

 private:
  std::shared_ptr<DaemonConnection> connection_;
  uint64_t node_;
};

// ---- The driver interface ----

class SocketClient final : public pv::VhpdClient {
 public:
  SocketClient(std::string socketPath, std::shared_ptr<DaemonConnection> connection)
      : socketPath_(std::move(socketPath)), connection_(std::move(connection)) {}

  ~SocketClient() override {
    std::lock_guard lock(hubMutex_);
    if (!hub_) return;
    hub_->close();
    // A callback that drops the last reference to the client runs on the reader thread.
    if (reader_.get_id() == std::this_thread::get_id()) {
      reader_.detach();
    } else {
      reader_.join();
    }
  }

  uint32_t presentInterfaces(const pv::Guid& guid, std::vector<std::string>& paths) override {
    paths.clear();
    std::optional<wire::PresentPathsRequest::Reply> reply =
        connection_->call(wire::PresentPathsRequest{});
    if (!reply) return we::DeviceNotConnected;
    if (guid == pv::kInterfaceGuid) paths = std::move(reply->paths);
    return we::Success;
  }

  uint32_t open(const std::string& path, pv::OpenMode mode,
                std::unique_ptr<pv::DeviceHandle>& handle) override {
    std::optional<wire::OpenRequest::Reply> reply = connection_->call(wire::OpenRequest{path});
    if (!reply) return we::DeviceNotConnected;
    if (reply->status == we::Success) {
      handle = std::make_unique<SocketHandle>(connection_, reply->handle, mode);
    }
    return reply->status;
  }

  uint32_t presentDeviceNodes(const pv::Guid& guid,
                              std::vector<pv::PresentInterface>& interfaces) override {
    interfaces.clear();
    std::optional<wire::PresentPathsRequest::Reply> reply =
        connection_->call(wire::PresentPathsRequest{});
    if (!reply) return we::DeviceNotConnected;
    if (reply->nodes.size() != reply->paths.size()) return we::GenFailure;
    if (guid != pv::kInterfaceGuid) return we::Success;
    for (size_t i = 0; i < reply->paths.size(); ++i) {
      interfaces.push_back(
          {std::move(reply->paths[i]), std::make_shared<SocketNode>(connection_, reply->nodes[i])});
    }
    return we::Success;
  }

  uint32_t openDriverSettingsKey(const std::string& key) override {
    return status(wire::OpenSettingsKeyRequest{key});
  }

  uint32_t readDriverSetting(const std::string& key, const std::string& name,
                             uint32_t& value) override {
    return statusValue(wire::ReadSettingRequest{key, name}, value);
  }

  uint32_t writeDriverSetting(const std::string& key, const std::string& name,
                              uint32_t value) override {
    return status(wire::WriteSettingRequest{key, name, value});
  }

  uint32_t requestRestart() override { return status(wire::RestartRequest{}); }
  // The daemon is the bus: every client of one socket shares its units.
  std::string busName() const override { return "simbus:" + socketPath_; }

  std::unique_ptr<pv::Subscription> subscribeBusChanges(std::function<void()> onChange) override {
    std::shared_ptr<NotificationHub> hub = notificationHub();
    // Without the daemon there are no notifications; the subscription is then inert.
    if (!hub) hub = std::make_shared<NotificationHub>(UniqueFd{});
    return std::make_unique<SocketSubscription>(hub, hub->add(std::move(onChange)));
  }

 private:
  template <class Req>
  uint32_t status(const Req& request) {
    std::optional<wire::StatusReply> reply = connection_->call(request);
    return reply ? reply->status : we::DeviceNotConnected;
  }

  template <class Req>
  uint32_t statusValue(const Req& request, uint32_t& value) {
    std::optional<wire::StatusValueReply> reply = connection_->call(request);
    if (!reply) return we::DeviceNotConnected;
    value = reply->value;
    return reply->status;
  }

  // The notification connection, opened at the first subscription.
  std::shared_ptr<NotificationHub> notificationHub() {
    std::lock_guard lock(hubMutex_);
    if (hub_) return hub_;
    std::shared_ptr<DaemonConnection> connection = DaemonConnection::open(socketPath_, nullptr);
    if (!connection || !connection->call(wire::SubscribeRequest{})) return nullptr;
    hub_ = std::make_shared<NotificationHub>(UniqueFd(::dup(connection->fd())));
    reader_ = std::thread([hub = hub_] { hub->run(); });
    return hub_;
  }

  const std::string socketPath_;
  std::shared_ptr<DaemonConnection> connection_;
  std::mutex hubMutex_;
  std::shared_ptr<NotificationHub> hub_;
  std::thread reader_;
};

}  // namespace

std::shared_ptr<pv::VhpdClient> connectDaemon(const std::string& socketPath, bool startIfMissing,
                                              std::string* error) {
  if (socketPath.empty()) {
    if (error) *error = "no folder for the simulated bus socket (set XDG_RUNTIME_DIR or TMPDIR)";
    return nullptr;
  }
  bool nobodyListening = false;
  std::shared_ptr<DaemonConnection> connection =
      DaemonConnection::open(socketPath, error, &nobodyListening);
  if (!connection && nobodyListening && startIfMissing) {
    if (!startDaemon(socketPath, error)) return nullptr;
    connection = DaemonConnection::open(socketPath, error);
  }
  if (!connection) return nullptr;
  return std::make_shared<SocketClient>(socketPath, std::move(connection));
}

}  // namespace simbus
