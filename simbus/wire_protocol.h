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

#include <concepts>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
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
  static auto fields(auto&) { return std::tie(); }
};
struct StatusReply {
  uint32_t status = 0;
  static auto fields(auto& m) { return std::tie(m.status); }
};
struct StatusValueReply {
  uint32_t status = 0;
  uint32_t value = 0;
  static auto fields(auto& m) { return std::tie(m.status, m.value); }
};
struct FlagReply {
  bool ok = false;
  static auto fields(auto& m) { return std::tie(m.ok); }
};
struct ResultReply {
  bool ok = false;
  std::string error;
  static auto fields(auto& m) { return std::tie(m.ok, m.error); }
};

// ---- Requests, each naming its type and its reply ----

struct HelloRequest {
  static constexpr MessageType kType = MessageType::Hello;
  struct Reply {
    uint32_t version = kProtocolVersion;
    static auto fields(auto& m) { return std::tie(m.version); }
  };
  uint32_t version = kProtocolVersion;
  static auto fields(auto& m) { return std::tie(m.version); }
};

struct PresentPathsRequest {
  static constexpr MessageType kType = MessageType::PresentPaths;
  struct Reply {
    std::vector<std::string> paths;
    std::vector<uint64_t> nodes;  // each path's device node number
    static auto fields(auto& m) { return std::tie(m.paths, m.nodes); }
  };
  static auto fields(auto&) { return std::tie(); }
};

struct OpenRequest {
  static constexpr MessageType kType = MessageType::Open;
  struct Reply {
    uint32_t status = 0;
    uint64_t handle = 0;
    static auto fields(auto& m) { return std::tie(m.status, m.handle); }
  };
  std::string path;
  static auto fields(auto& m) { return std::tie(m.path); }
};

struct CloseRequest {
  static constexpr MessageType kType = MessageType::Close;
  using Reply = DoneReply;
  uint64_t handle = 0;
  static auto fields(auto& m) { return std::tie(m.handle); }
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
  static auto fields(auto& m) {
    return std::tie(m.handle, m.code, m.outputSize, m.input, m.outputData);
  }
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
  static auto fields(auto& m) { return std::tie(m.node, m.change); }
};

struct DeviceInstallFlagsRequest {
  static constexpr MessageType kType = MessageType::DeviceInstallFlags;
  using Reply = StatusValueReply;
  uint64_t node = 0;
  static auto fields(auto& m) { return std::tie(m.node); }
};

// Whether the client may change device nodes: the value is 1 or 0.
struct DeviceNodeRightsRequest {
  static constexpr MessageType kType = MessageType::DeviceNodeRights;
  using Reply = StatusValueReply;
  static auto fields(auto&) { return std::tie(); }
};

struct OpenSettingsKeyRequest {
  static constexpr MessageType kType = MessageType::OpenSettingsKey;
  using Reply = StatusReply;
  std::string key;
  static auto fields(auto& m) { return std::tie(m.key); }
};

struct ReadSettingRequest {
  static constexpr MessageType kType = MessageType::ReadSetting;
  using Reply = StatusValueReply;
  std::string key;
  std::string name;
  static auto fields(auto& m) { return std::tie(m.key, m.name); }
};

struct WriteSettingRequest {
  static constexpr MessageType kType = MessageType::WriteSetting;
  using Reply = StatusReply;
  std::string key;
  std::string name;
  uint32_t value = 0;
  static auto fields(auto& m) { return std::tie(m.key, m.name, m.value); }
};

struct RestartRequest {
  static constexpr MessageType kType = MessageType::Restart;
  using Reply = StatusReply;
  static auto fields(auto&) { return std::tie(); }
};

struct SubscribeRequest {
  static constexpr MessageType kType = MessageType::Subscribe;
  using Reply = DoneReply;
  static auto fields(auto&) { return std::tie(); }
};

struct PlugRequest {
  static constexpr MessageType kType = MessageType::Plug;
  struct Reply {
    std::optional<uint32_t> serial;
    std::string error;
    static auto fields(auto& m) { return std::tie(m.serial, m.error); }
  };
  UnitSpec spec;
  static auto fields(auto& m) { return std::tie(m.spec); }
};

// Attaches a unit in place of a known one with the same serial that is off the bus.
struct PlugReplacingRequest {
  static constexpr MessageType kType = MessageType::PlugReplacing;
  using Reply = PlugRequest::Reply;
  UnitSpec spec;
  static auto fields(auto& m) { return std::tie(m.spec); }
};

// Takes a model's driver settings key away or brings it back (when `present` is given), and
// tells whether it is there and the "SampleRate[Hz]" value it keeps.
struct SettingsKeyRequest {
  static constexpr MessageType kType = MessageType::SettingsKey;
  struct Reply {
    bool present = false;
    std::optional<uint32_t> sampleRate;
    static auto fields(auto& m) { return std::tie(m.present, m.sampleRate); }
  };
  Model model = Model::Studio;
  std::optional<bool> present;
  static auto fields(auto& m) { return std::tie(m.model, m.present); }
};

struct UnplugRequest {
  static constexpr MessageType kType = MessageType::Unplug;
  using Reply = FlagReply;
  uint32_t serial = 0;
  static auto fields(auto& m) { return std::tie(m.serial); }
};

struct UnitsRequest {
  static constexpr MessageType kType = MessageType::Units;
  struct Reply {
    std::vector<UnitStatus> units;
    static auto fields(auto& m) { return std::tie(m.units); }
  };
  static auto fields(auto&) { return std::tie(); }
};

struct DriverRequest {
  static constexpr MessageType kType = MessageType::Driver;
  struct Reply {
    DriverState driver;
    uint32_t generation = 0;
    static auto fields(auto& m) { return std::tie(m.driver, m.generation); }
  };
  static auto fields(auto&) { return std::tie(); }
};

struct SetDriverVersionRequest {
  static constexpr MessageType kType = MessageType::SetDriverVersion;
  using Reply = DoneReply;
  uint8_t major = 0;
  uint8_t minor = 0;
  static auto fields(auto& m) { return std::tie(m.major, m.minor); }
};

struct SetDriverRateRequest {
  static constexpr MessageType kType = MessageType::SetDriverRate;
  using Reply = FlagReply;
  uint32_t hz = 0;
  static auto fields(auto& m) { return std::tie(m.hz); }
};

struct SetStreamingRequest {
  static constexpr MessageType kType = MessageType::SetStreaming;
  using Reply = DoneReply;
  bool on = false;
  static auto fields(auto& m) { return std::tie(m.on); }
};

struct SetInstallFlagsRequest {
  static constexpr MessageType kType = MessageType::SetInstallFlags;
  using Reply = DoneReply;
  uint32_t flags = 0;
  static auto fields(auto& m) { return std::tie(m.flags); }
};

struct SetLockedRequest {
  static constexpr MessageType kType = MessageType::SetLocked;
  using Reply = FlagReply;
  uint32_t serial = 0;
  uint8_t input = 0;  // SyncInput
  bool locked = false;
  static auto fields(auto& m) { return std::tie(m.serial, m.input, m.locked); }
};

struct SetStandaloneRequest {
  static constexpr MessageType kType = MessageType::SetStandalone;
  using Reply = FlagReply;
  uint32_t serial = 0;
  bool on = false;
  static auto fields(auto& m) { return std::tie(m.serial, m.on); }
};

struct SetRejoinDelayRequest {
  static constexpr MessageType kType = MessageType::SetRejoinDelay;
  using Reply = DoneReply;
  uint32_t milliseconds = 0;
  static auto fields(auto& m) { return std::tie(m.milliseconds); }
};

struct TurnKnobRequest {
  static constexpr MessageType kType = MessageType::TurnKnob;
  using Reply = FlagReply;
  uint32_t serial = 0;
  uint8_t position = 0;
  static auto fields(auto& m) { return std::tie(m.serial, m.position); }
};

struct PressButtonRequest {
  static constexpr MessageType kType = MessageType::PressButton;
  using Reply = FlagReply;
  uint32_t serial = 0;
  uint8_t button = 0;  // FrontPanelButton
  static auto fields(auto& m) { return std::tie(m.serial, m.button); }
};

struct PeekRequest {
  static constexpr MessageType kType = MessageType::Peek;
  struct Reply {
    std::optional<uint32_t> value;
    static auto fields(auto& m) { return std::tie(m.value); }
  };
  uint32_t serial = 0;
  uint32_t index = 0;
  static auto fields(auto& m) { return std::tie(m.serial, m.index); }
};

struct PokeRequest {
  static constexpr MessageType kType = MessageType::Poke;
  using Reply = FlagReply;
  uint32_t serial = 0;
  uint32_t index = 0;
  uint32_t value = 0;
  static auto fields(auto& m) { return std::tie(m.serial, m.index, m.value); }
};

struct AcceptedTransfersRequest {
  static constexpr MessageType kType = MessageType::AcceptedTransfers;
  struct Reply {
    std::optional<simbus::AcceptedTransfers> accepts;
    static auto fields(auto& m) { return std::tie(m.accepts); }
  };
  uint32_t serial = 0;
  static auto fields(auto& m) { return std::tie(m.serial); }
};

struct SetAcceptedTransfersRequest {
  static constexpr MessageType kType = MessageType::SetAcceptedTransfers;
  using Reply = FlagReply;
  uint32_t serial = 0;
  simbus::AcceptedTransfers accepts;
  static auto fields(auto& m) { return std::tie(m.serial, m.accepts); }
};

struct AddFaultRequest {
  static constexpr MessageType kType = MessageType::AddFault;
  using Reply = ResultReply;
  FaultRule rule;
  static auto fields(auto& m) { return std::tie(m.rule); }
};

struct ClearFaultsRequest {
  static constexpr MessageType kType = MessageType::ClearFaults;
  using Reply = DoneReply;
  static auto fields(auto&) { return std::tie(); }
};

struct FaultsRequest {
  static constexpr MessageType kType = MessageType::Faults;
  struct Reply {
    std::vector<FaultRule> rules;
    static auto fields(auto& m) { return std::tie(m.rules); }
  };
  static auto fields(auto&) { return std::tie(); }
};

// The daemon replies, then shuts down.
struct StopRequest {
  static constexpr MessageType kType = MessageType::Stop;
  using Reply = DoneReply;
  static auto fields(auto&) { return std::tie(); }
};

// Pushed, never requested: the bus changed (units arrived or left, a reset, ...).
struct BusChangedMessage {
  static constexpr MessageType kType = MessageType::BusChanged;
  uint32_t generation = 0;
  static auto fields(auto& m) { return std::tie(m.generation); }
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

bool get(Reader& r, uint8_t& v);
bool get(Reader& r, bool& v);
bool get(Reader& r, uint32_t& v);
bool get(Reader& r, uint64_t& v);
bool get(Reader& r, std::string& v);
bool get(Reader& r, std::vector<uint8_t>& v);
bool get(Reader& r, Model& v);
bool get(Reader& r, FaultAction& v);
bool get(Reader& r, TransferKind& v);

// A list of fields, in order: written, or read until one fails.
template <class Fields>
void putFields(Writer& w, const Fields& fields) {
  std::apply([&w](const auto&... field) { (put(w, field), ...); }, fields);
}
template <class Fields>
bool getFields(Reader& r, Fields&& fields) {
  return std::apply([&r](auto&... field) { return (get(r, field) && ...); }, fields);
}

// The bus records' fields, each listed once in wire order (their declaration order); the
// one list serves writing and reading.
template <class R, class Record>
concept RecordOf = std::same_as<std::remove_const_t<R>, Record>;

auto recordFields(RecordOf<UnitSpec> auto& v) {
  return std::tie(v.model, v.serialLow, v.serialHigh, v.protocol, v.firmware);
}
auto recordFields(RecordOf<UnitStatus> auto& v) {
  return std::tie(v.serialLow, v.serialHigh, v.model, v.protocol, v.firmware, v.onBus);
}
auto recordFields(RecordOf<DriverState> auto& v) {
  return std::tie(v.versionMajor, v.versionMinor, v.sampleRate, v.streaming, v.installFlags,
                  v.restarts, v.rejoinDelayMs);
}
auto recordFields(RecordOf<simbus::AcceptedTransfers> auto& v) {
  return std::tie(v.blockRead, v.quadletRead, v.blockWrite, v.quadletWrite);
}
auto recordFields(RecordOf<FaultRule> auto& v) {
  return std::tie(v.action, v.kind, v.serial, v.skip, v.count, v.status, v.delayMs);
}
auto recordFields(RecordOf<IoReply> auto& v) {
  return std::tie(v.error, v.bytesReturned, v.output, v.delayMs, v.dropped);
}

template <class R>
requires requires(const R& record) {
  recordFields(record);
}
void put(Writer& w, const R& record) {
  putFields(w, recordFields(record));
}
template <class R>
requires requires(R& record) {
  recordFields(record);
}
bool get(Reader& r, R& record) {
  return getFields(r, recordFields(record));
}

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
  if constexpr (requires { Message::fields(message); }) {
    putFields(w, Message::fields(message));
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
  if constexpr (requires { Message::fields(message); }) {
    read = getFields(r, Message::fields(message));
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
