// The socket protocol between velmora-simbus and its clients.
//
// A frame is a little-endian u32 body length, then the body: a u8 message type and the
// payload. Requests and their replies alternate strictly on a connection; the reply to a
// request has the request's type with the high bit set. A connection that subscribed also
// receives BusChanged frames, pushed after every change of the bus.
//
// Payload fields are little-endian u8/u32/u64 numbers; byte strings, texts and lists carry a
// u32 count first; an optional field carries a u8 presence flag first. A payload must be
// consumed exactly: trailing bytes make the frame malformed.
//
// Limits: a body holds at most kMaxFrameBody (64 KiB) bytes. FCP records are 520 bytes and
// unit transfers a few KiB, so the input and output buffers of one device I/O control request
// are bounded by kMaxIoBytes (60 KiB), which leaves room for the other fields.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <variant>
#include <vector>

#include "simbus/fault_plan.h"
#include "simbus/sim_bus.h"
#include "simbus/sim_unit.h"

namespace simbus::wire {

inline constexpr uint32_t kProtocolVersion = 2;  // 2: device nodes by number
inline constexpr size_t kHeaderSize = 4;
inline constexpr size_t kMaxFrameBody = 64 * 1024;
inline constexpr size_t kMaxIoBytes = 60 * 1024;
inline constexpr uint8_t kReplyBit = 0x80;

enum class MessageType : uint8_t {
  Hello = 0x01,
  // The driver as its clients see it.
  PresentPaths = 0x02,
  Open = 0x03,
  Close = 0x04,
  IoControl = 0x05,
  ChangeDeviceNodeState = 0x06,
  DeviceInstallFlags = 0x07,
  OpenSettingsKey = 0x08,
  ReadSetting = 0x09,
  WriteSetting = 0x0A,
  Restart = 0x0B,
  Subscribe = 0x0C,
  DeviceNodeRights = 0x0D,
  // Control of the bus (velmora-simbus commands).
  Plug = 0x20,
  Unplug = 0x21,
  Units = 0x22,
  Driver = 0x23,
  SetDriverVersion = 0x24,
  SetDriverRate = 0x25,
  SetStreaming = 0x26,
  SetInstallFlags = 0x27,
  Peek = 0x28,
  Poke = 0x29,
  AcceptedTransfers = 0x2A,
  SetAcceptedTransfers = 0x2B,
  AddFault = 0x2C,
  ClearFaults = 0x2D,
  Faults = 0x2E,
  Stop = 0x2F,
  SetLocked = 0x30,
  SetStandalone = 0x31,
  SetRejoinDelay = 0x32,
  TurnKnob = 0x33,
  PressButton = 0x34,
  PlugReplacing = 0x35,
  SettingsKey = 0x36,
  // Pushed to subscribed connections.
  BusChanged = 0x40,
};

// Name of a message type for logs ("open", "open reply", ...); "unknown" for others.
std::string_view messageName(uint8_t type);

// ---- Replies shared by several requests ----

struct DoneReply {
  auto fields() { return std::tie(); }
  auto fields() const { return std::tie(); }
};
struct StatusReply {
  uint32_t status = 0;
  auto fields() { return std::tie(status); }
  auto fields() const { return std::tie(status); }
};
struct StatusValueReply {
  uint32_t status = 0;
  uint32_t value = 0;
  auto fields() { return std::tie(status, value); }
  auto fields() const { return std::tie(status, value); }
};
struct FlagReply {
  bool ok = false;
  auto fields() { return std::tie(ok); }
  auto fields() const { return std::tie(ok); }
};
struct ResultReply {
  bool ok = false;
  std::string error;
  auto fields() { return std::tie(ok, error); }
  auto fields() const { return std::tie(ok, error); }
};

// ---- Requests, each naming its type and its reply ----

struct HelloRequest {
  static constexpr MessageType kType = MessageType::Hello;
  struct Reply {
    uint32_t version = kProtocolVersion;
    auto fields() { return std::tie(version); }
    auto fields() const { return std::tie(version); }
  };
  uint32_t version = kProtocolVersion;
  auto fields() { return std::tie(version); }
  auto fields() const { return std::tie(version); }
};

struct PresentPathsRequest {
  static constexpr MessageType kType = MessageType::PresentPaths;
  struct Reply {
    std::vector<std::string> paths;
    std::vector<uint64_t> nodes;  // each path's device node number
    auto fields() { return std::tie(paths, nodes); }
    auto fields() const { return std::tie(paths, nodes); }
  };
  auto fields() { return std::tie(); }
  auto fields() const { return std::tie(); }
};

struct OpenRequest {
  static constexpr MessageType kType = MessageType::Open;
  struct Reply {
    uint32_t status = 0;
    uint64_t handle = 0;
    auto fields() { return std::tie(status, handle); }
    auto fields() const { return std::tie(status, handle); }
  };
  std::string path;
  auto fields() { return std::tie(path); }
  auto fields() const { return std::tie(path); }
};

struct CloseRequest {
  static constexpr MessageType kType = MessageType::Close;
  using Reply = DoneReply;
  uint64_t handle = 0;
  auto fields() { return std::tie(handle); }
  auto fields() const { return std::tie(handle); }
};

// `outputData` carries the caller's output buffer only for control codes whose driver reads
// that buffer (direct I/O into the driver, e.g. ASYNC_WRITE); otherwise it is empty and only
// `outputSize` travels.
struct IoControlRequest {
  static constexpr MessageType kType = MessageType::IoControl;
  using Reply = IoReply;
  uint64_t handle = 0;
  uint32_t code = 0;
  uint32_t outputSize = 0;
  std::vector<uint8_t> input;
  std::vector<uint8_t> outputData;
  auto fields() { return std::tie(handle, code, outputSize, input, outputData); }
  auto fields() const { return std::tie(handle, code, outputSize, input, outputData); }
};

// True when the driver reads the output buffer of `code` (METHOD_IN_DIRECT, METHOD_NEITHER).
constexpr bool driverReadsOutput(uint32_t code) {
  return (code & 1) != 0;
}

struct ChangeDeviceNodeStateRequest {
  static constexpr MessageType kType = MessageType::ChangeDeviceNodeState;
  using Reply = StatusReply;
  uint64_t node = 0;    // the number an enumeration gave
  uint32_t change = 0;  // platform::vhpd::DeviceNodeChange, passed through unchecked
  auto fields() { return std::tie(node, change); }
  auto fields() const { return std::tie(node, change); }
};

struct DeviceInstallFlagsRequest {
  static constexpr MessageType kType = MessageType::DeviceInstallFlags;
  using Reply = StatusValueReply;
  uint64_t node = 0;
  auto fields() { return std::tie(node); }
  auto fields() const { return std::tie(node); }
};

// Whether the client may change device nodes: the value is 1 or 0.
struct DeviceNodeRightsRequest {
  static constexpr MessageType kType = MessageType::DeviceNodeRights;
  using Reply = StatusValueReply;
  auto fields() { return std::tie(); }
  auto fields() const { return std::tie(); }
};

struct OpenSettingsKeyRequest {
  static constexpr MessageType kType = MessageType::OpenSettingsKey;
  using Reply = StatusReply;
  std::string key;
  auto fields() { return std::tie(key); }
  auto fields() const { return std::tie(key); }
};

struct ReadSettingRequest {
  static constexpr MessageType kType = MessageType::ReadSetting;
  using Reply = StatusValueReply;
  std::string key;
  std::string name;
  auto fields() { return std::tie(key, name); }
  auto fields() const { return std::tie(key, name); }
};

struct WriteSettingRequest {
  static constexpr MessageType kType = MessageType::WriteSetting;
  using Reply = StatusReply;
  std::string key;
  std::string name;
  uint32_t value = 0;
  auto fields() { return std::tie(key, name, value); }
  auto fields() const { return std::tie(key, name, value); }
};

struct RestartRequest {
  static constexpr MessageType kType = MessageType::Restart;
  using Reply = StatusReply;
  auto fields() { return std::tie(); }
  auto fields() const { return std::tie(); }
};

struct SubscribeRequest {
  static constexpr MessageType kType = MessageType::Subscribe;
  using Reply = DoneReply;
  auto fields() { return std::tie(); }
  auto fields() const { return std::tie(); }
};

struct PlugRequest {
  static constexpr MessageType kType = MessageType::Plug;
  struct Reply {
    std::optional<uint32_t> serial;
    std::string error;
    auto fields() { return std::tie(serial, error); }
    auto fields() const { return std::tie(serial, error); }
  };
  UnitSpec spec;
  auto fields() { return std::tie(spec); }
  auto fields() const { return std::tie(spec); }
};

// Attaches a unit in place of a known one with the same serial that is off the bus.
struct PlugReplacingRequest {
  static constexpr MessageType kType = MessageType::PlugReplacing;
  using Reply = PlugRequest::Reply;
  UnitSpec spec;
  auto fields() { return std::tie(spec); }
  auto fields() const { return std::tie(spec); }
};

// Takes a model's driver settings key away or brings it back (when `present` is given), and
// tells whether it is there and the "SampleRate[Hz]" value it keeps.
struct SettingsKeyRequest {
  static constexpr MessageType kType = MessageType::SettingsKey;
  struct Reply {
    bool present = false;
    std::optional<uint32_t> sampleRate;
    auto fields() { return std::tie(present, sampleRate); }
    auto fields() const { return std::tie(present, sampleRate); }
  };
  Model model = Model::Studio;
  std::optional<bool> present;
  auto fields() { return std::tie(model, present); }
  auto fields() const { return std::tie(model, present); }
};

struct UnplugRequest {
  static constexpr MessageType kType = MessageType::Unplug;
  using Reply = FlagReply;
  uint32_t serial = 0;
  auto fields() { return std::tie(serial); }
  auto fields() const { return std::tie(serial); }
};

struct UnitsRequest {
  static constexpr MessageType kType = MessageType::Units;
  struct Reply {
    std::vector<UnitStatus> units;
    auto fields() { return std::tie(units); }
    auto fields() const { return std::tie(units); }
  };
  auto fields() { return std::tie(); }
  auto fields() const { return std::tie(); }
};

struct DriverRequest {
  static constexpr MessageType kType = MessageType::Driver;
  struct Reply {
    DriverState driver;
    uint32_t generation = 0;
    auto fields() { return std::tie(driver, generation); }
    auto fields() const { return std::tie(driver, generation); }
  };
  auto fields() { return std::tie(); }
  auto fields() const { return std::tie(); }
};

struct SetDriverVersionRequest {
  static constexpr MessageType kType = MessageType::SetDriverVersion;
  using Reply = DoneReply;
  uint8_t major = 0;
  uint8_t minor = 0;
  auto fields() { return std::tie(major, minor); }
  auto fields() const { return std::tie(major, minor); }
};

struct SetDriverRateRequest {
  static constexpr MessageType kType = MessageType::SetDriverRate;
  using Reply = FlagReply;
  uint32_t hz = 0;
  auto fields() { return std::tie(hz); }
  auto fields() const { return std::tie(hz); }
};

struct SetStreamingRequest {
  static constexpr MessageType kType = MessageType::SetStreaming;
  using Reply = DoneReply;
  bool on = false;
  auto fields() { return std::tie(on); }
  auto fields() const { return std::tie(on); }
};

struct SetInstallFlagsRequest {
  static constexpr MessageType kType = MessageType::SetInstallFlags;
  using Reply = DoneReply;
  uint32_t flags = 0;
  auto fields() { return std::tie(flags); }
  auto fields() const { return std::tie(flags); }
};

struct SetLockedRequest {
  static constexpr MessageType kType = MessageType::SetLocked;
  using Reply = FlagReply;
  uint32_t serial = 0;
  uint8_t input = 0;  // SyncInput
  bool locked = false;
  auto fields() { return std::tie(serial, input, locked); }
  auto fields() const { return std::tie(serial, input, locked); }
};

struct SetStandaloneRequest {
  static constexpr MessageType kType = MessageType::SetStandalone;
  using Reply = FlagReply;
  uint32_t serial = 0;
  bool on = false;
  auto fields() { return std::tie(serial, on); }
  auto fields() const { return std::tie(serial, on); }
};

struct SetRejoinDelayRequest {
  static constexpr MessageType kType = MessageType::SetRejoinDelay;
  using Reply = DoneReply;
  uint32_t milliseconds = 0;
  auto fields() { return std::tie(milliseconds); }
  auto fields() const { return std::tie(milliseconds); }
};

struct TurnKnobRequest {
  static constexpr MessageType kType = MessageType::TurnKnob;
  using Reply = FlagReply;
  uint32_t serial = 0;
  uint8_t position = 0;
  auto fields() { return std::tie(serial, position); }
  auto fields() const { return std::tie(serial, position); }
};

struct PressButtonRequest {
  static constexpr MessageType kType = MessageType::PressButton;
  using Reply = FlagReply;
  uint32_t serial = 0;
  uint8_t button = 0;  // FrontPanelButton
  auto fields() { return std::tie(serial, button); }
  auto fields() const { return std::tie(serial, button); }
};

struct PeekRequest {
  static constexpr MessageType kType = MessageType::Peek;
  struct Reply {
    std::optional<uint32_t> value;
    auto fields() { return std::tie(value); }
    auto fields() const { return std::tie(value); }
  };
  uint32_t serial = 0;
  uint32_t index = 0;
  auto fields() { return std::tie(serial, index); }
  auto fields() const { return std::tie(serial, index); }
};

struct PokeRequest {
  static constexpr MessageType kType = MessageType::Poke;
  using Reply = FlagReply;
  uint32_t serial = 0;
  uint32_t index = 0;
  uint32_t value = 0;
  auto fields() { return std::tie(serial, index, value); }
  auto fields() const { return std::tie(serial, index, value); }
};

struct AcceptedTransfersRequest {
  static constexpr MessageType kType = MessageType::AcceptedTransfers;
  struct Reply {
    std::optional<simbus::AcceptedTransfers> accepts;
    auto fields() { return std::tie(accepts); }
    auto fields() const { return std::tie(accepts); }
  };
  uint32_t serial = 0;
  auto fields() { return std::tie(serial); }
  auto fields() const { return std::tie(serial); }
};

struct SetAcceptedTransfersRequest {
  static constexpr MessageType kType = MessageType::SetAcceptedTransfers;
  using Reply = FlagReply;
  uint32_t serial = 0;
  simbus::AcceptedTransfers accepts;
  auto fields() { return std::tie(serial, accepts); }
  auto fields() const { return std::tie(serial, accepts); }
};

struct AddFaultRequest {
  static constexpr MessageType kType = MessageType::AddFault;
  using Reply = ResultReply;
  FaultRule rule;
  auto fields() { return std::tie(rule); }
  auto fields() const { return std::tie(rule); }
};

struct ClearFaultsRequest {
  static constexpr MessageType kType = MessageType::ClearFaults;
  using Reply = DoneReply;
  auto fields() { return std::tie(); }
  auto fields() const { return std::tie(); }
};

struct FaultsRequest {
  static constexpr MessageType kType = MessageType::Faults;
  struct Reply {
    std::vector<FaultRule> rules;
    auto fields() { return std::tie(rules); }
    auto fields() const { return std::tie(rules); }
  };
  auto fields() { return std::tie(); }
  auto fields() const { return std::tie(); }
};

// The daemon replies, then shuts down.
struct StopRequest {
  static constexpr MessageType kType = MessageType::Stop;
  using Reply = DoneReply;
  auto fields() { return std::tie(); }
  auto fields() const { return std::tie(); }
};

// Pushed, never requested: the bus changed (units arrived or left, a reset, ...).
struct BusChangedMessage {
  static constexpr MessageType kType = MessageType::BusChanged;
  uint32_t generation = 0;
  auto fields() { return std::tie(generation); }
  auto fields() const { return std::tie(generation); }
};

// Every request a client may send.
using Request =
    std::variant<HelloRequest, PresentPathsRequest, OpenRequest, CloseRequest, IoControlRequest,
                 ChangeDeviceNodeStateRequest, DeviceInstallFlagsRequest, DeviceNodeRightsRequest,
                 OpenSettingsKeyRequest, ReadSettingRequest, WriteSettingRequest, RestartRequest,
                 SubscribeRequest, PlugRequest, UnplugRequest, UnitsRequest, DriverRequest,
                 SetDriverVersionRequest, SetDriverRateRequest, SetStreamingRequest,
                 SetInstallFlagsRequest, PeekRequest, PokeRequest, AcceptedTransfersRequest,
                 SetAcceptedTransfersRequest, AddFaultRequest, ClearFaultsRequest, FaultsRequest,
                 StopRequest, SetLockedRequest, SetStandaloneRequest, SetRejoinDelayRequest,
                 TurnKnobRequest, PressButtonRequest, PlugReplacingRequest, SettingsKeyRequest>;

// ---- Frames ----

struct Frame {
  uint8_t type = 0;
  std::vector<uint8_t> payload;
};

enum class FrameStatus { Complete, NeedMore, Invalid };

struct FrameParse {
  FrameStatus status = FrameStatus::NeedMore;
  size_t consumed = 0;  // bytes of `buffer` the complete frame took
  Frame frame;
  std::string error;  // why the stream is invalid
};

// Takes the first frame off the front of a receive buffer. Invalid when the header announces
// an empty or oversized body: the stream cannot be resynchronised after that.
FrameParse parseFrame(std::span<const uint8_t> buffer);

// A whole frame of `type` around `payload`. The caller keeps payloads within kMaxFrameBody.
std::vector<uint8_t> encodeFrame(uint8_t type, std::span<const uint8_t> payload);

// ---- Payload codec ----

class Writer {
 public:
  void u8(uint8_t v) { bytes_.push_back(v); }
  void u32(uint32_t v);
  void u64(uint64_t v);
  void bytes(std::span<const uint8_t> data);
  std::vector<uint8_t> take() { return std::move(bytes_); }

 private:
  std::vector<uint8_t> bytes_;
};

// Reads fields off a payload; any read past the end fails and every later read fails too.
class Reader {
 public:
  explicit Reader(std::span<const uint8_t> data) : data_(data) {}
  bool u8(uint8_t& v);
  bool u32(uint32_t& v);
  bool u64(uint64_t& v);
  bool bytes(std::vector<uint8_t>& out);
  // A u32 count of following elements, refused when the rest of the payload could not hold
  // that many elements of at least `minElementSize` bytes.
  bool count(uint32_t& n, size_t minElementSize);
  bool fail() {
    ok_ = false;
    return false;
  }
  bool ok() const { return ok_; }
  bool atEnd() const { return ok_ && offset_ == data_.size(); }

 private:
  bool need(size_t n);
  std::span<const uint8_t> data_;
  size_t offset_ = 0;
  bool ok_ = true;
};

// Field codecs. Records from the bus API travel as their fields in declaration order; enums
// are checked against their known values.
void put(Writer& w, uint8_t v);
void put(Writer& w, bool v);
void put(Writer& w, uint32_t v);
void put(Writer& w, uint64_t v);
void put(Writer& w, const std::string& v);
void put(Writer& w, const std::vector<uint8_t>& v);
void put(Writer& w, Model v);
void put(Writer& w, FaultAction v);
void put(Writer& w, TransferKind v);
void put(Writer& w, const UnitSpec& v);
void put(Writer& w, const UnitStatus& v);
void put(Writer& w, const DriverState& v);
void put(Writer& w, const simbus::AcceptedTransfers& v);
void put(Writer& w, const FaultRule& v);
void put(Writer& w, const IoReply& v);

bool get(Reader& r, uint8_t& v);
bool get(Reader& r, bool& v);
bool get(Reader& r, uint32_t& v);
bool get(Reader& r, uint64_t& v);
bool get(Reader& r, std::string& v);
bool get(Reader& r, std::vector<uint8_t>& v);
bool get(Reader& r, Model& v);
bool get(Reader& r, FaultAction& v);
bool get(Reader& r, TransferKind& v);
bool get(Reader& r, UnitSpec& v);
bool get(Reader& r, UnitStatus& v);
bool get(Reader& r, DriverState& v);
bool get(Reader& r, simbus::AcceptedTransfers& v);
bool get(Reader& r, FaultRule& v);
bool get(Reader& r, IoReply& v);

template <class T>
void put(Writer& w, const std::optional<T>& v) {
  put(w, v.has_value());
  if (v) put(w, *v);
}
template <class T>
bool get(Reader& r, std::optional<T>& v) {
  bool present = false;
  if (!get(r, present)) return false;
  if (!present) {
    v.reset();
    return true;
  }
  T value{};
  if (!get(r, value)) return false;
  v = std::move(value);
  return true;
}

// Minimum encoded size of one element, so a list count can be checked before allocating.
template <class T>
constexpr size_t minEncodedSize() {
  return sizeof(T) < 4 ? 1 : 4;
}

template <class T>
void put(Writer& w, const std::vector<T>& v) {
  w.u32(static_cast<uint32_t>(v.size()));
  for (const T& item : v) put(w, item);
}
template <class T>
bool get(Reader& r, std::vector<T>& v) {
  uint32_t n = 0;
  if (!r.count(n, minEncodedSize<T>())) return false;
  v.clear();
  v.reserve(n);
  for (uint32_t i = 0; i < n; ++i) {
    T item{};
    if (!get(r, item)) return false;
    v.push_back(std::move(item));
  }
  return true;
}

// A whole message: its fields in order, or the one bus record it is (IoReply).
template <class Message>
std::vector<uint8_t> encodePayload(const Message& message) {
  Writer w;
  if constexpr (requires { message.fields(); }) {
    std::apply([&w](const auto&... field) { (put(w, field), ...); }, message.fields());
  } else {
    put(w, message);
  }
  return w.take();
}

template <class Message>
std::optional<Message> decodePayload(std::span<const uint8_t> payload) {
  Message message{};
  Reader r(payload);
  bool read = false;
  if constexpr (requires { message.fields(); }) {
    read = std::apply([&r](auto&... field) { return (get(r, field) && ...); }, message.fields());
  } else {
    read = get(r, message);
  }
  if (!read || !r.atEnd()) return std::nullopt;
  return message;
}

template <class Req>
std::vector<uint8_t> encodeRequest(const Req& request) {
  return encodeFrame(static_cast<uint8_t>(Req::kType), encodePayload(request));
}

template <class Req>
std::vector<uint8_t> encodeReply(const typename Req::Reply& reply) {
  return encodeFrame(static_cast<uint8_t>(Req::kType) | kReplyBit, encodePayload(reply));
}

inline std::vector<uint8_t> encodeBusChanged(uint32_t generation) {
  return encodeFrame(static_cast<uint8_t>(MessageType::BusChanged),
                     encodePayload(BusChangedMessage{generation}));
}

// The request in `frame`, or nullopt with the reason in `error` (unknown type, malformed
// payload).
std::optional<Request> decodeRequest(const Frame& frame, std::string* error);

// The reply to `Req` in `frame`, or nullopt when the frame is anything else or malformed.
template <class Req>
std::optional<typename Req::Reply> decodeReply(const Frame& frame) {
  if (frame.type != (static_cast<uint8_t>(Req::kType) | kReplyBit)) return std::nullopt;
  return decodePayload<typename Req::Reply>(frame.payload);
}

}  // namespace simbus::wire
