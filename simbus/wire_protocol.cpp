#include "simbus/wire_protocol.h"

#include <array>
#include <cstring>
#include <utility>

#include "platform/vhpd_protocol.h"

namespace simbus::wire {

namespace pv = platform::vhpd;

namespace {

struct MessageNameEntry {
  MessageType type;
  std::string_view name;
};

constexpr std::array kMessageNames{
    MessageNameEntry{MessageType::Hello, "hello"},
    MessageNameEntry{MessageType::PresentPaths, "present-paths"},
    MessageNameEntry{MessageType::Open, "open"},
    MessageNameEntry{MessageType::Close, "close"},
    MessageNameEntry{MessageType::IoControl, "io-control"},
    MessageNameEntry{MessageType::ChangeDeviceNodeState, "change-device-node-state"},
    MessageNameEntry{MessageType::DeviceInstallFlags, "device-install-flags"},
    MessageNameEntry{MessageType::DeviceNodeRights, "device-node-rights"},
    MessageNameEntry{MessageType::OpenSettingsKey, "open-settings-key"},
    MessageNameEntry{MessageType::ReadSetting, "read-setting"},
    MessageNameEntry{MessageType::WriteSetting, "write-setting"},
    MessageNameEntry{MessageType::Restart, "restart"},
    MessageNameEntry{MessageType::Subscribe, "subscribe"},
    MessageNameEntry{MessageType::Plug, "plug"},
    MessageNameEntry{MessageType::Unplug, "unplug"},
    MessageNameEntry{MessageType::Units, "units"},
    MessageNameEntry{MessageType::Driver, "driver"},
    MessageNameEntry{MessageType::SetDriverVersion, "set-driver-version"},
    MessageNameEntry{MessageType::SetDriverRate, "set-driver-rate"},
    MessageNameEntry{MessageType::SetStreaming, "set-streaming"},
    MessageNameEntry{MessageType::SetInstallFlags, "set-install-flags"},
    MessageNameEntry{MessageType::Peek, "peek"},
    MessageNameEntry{MessageType::Poke, "poke"},
    MessageNameEntry{MessageType::AcceptedTransfers, "accepted-transfers"},
    MessageNameEntry{MessageType::SetAcceptedTransfers, "set-accepted-transfers"},
    MessageNameEntry{MessageType::AddFault, "add-fault"},
    MessageNameEntry{MessageType::ClearFaults, "clear-faults"},
    MessageNameEntry{MessageType::Faults, "faults"},
    MessageNameEntry{MessageType::Stop, "stop"},
    MessageNameEntry{MessageType::SetLocked, "set-locked"},
    MessageNameEntry{MessageType::SetStandalone, "set-standalone"},
    MessageNameEntry{MessageType::SetRejoinDelay, "set-rejoin-delay"},
    MessageNameEntry{MessageType::TurnKnob, "turn-knob"},
    MessageNameEntry{MessageType::PressButton, "press-button"},
    MessageNameEntry{MessageType::PlugReplacing, "plug-replacing"},
    MessageNameEntry{MessageType::SettingsKey, "settings-key"},
    MessageNameEntry{MessageType::BusChanged, "bus-changed"},
};

constexpr size_t timesNamed(MessageType type) {
  size_t times = 0;
  for (const MessageNameEntry& entry : kMessageNames) times += entry.type == type ? 1 : 0;
  return times;
}

template <size_t... I>
constexpr bool everyRequestNamedOnce(std::index_sequence<I...>) {
  return ((timesNamed(std::variant_alternative_t<I, Request>::kType) == 1) && ...);
}

// One name per message: every request, and the pushed BusChanged.
static_assert(kMessageNames.size() == std::variant_size_v<Request> + 1);
static_assert(everyRequestNamedOnce(std::make_index_sequence<std::variant_size_v<Request>>{}));
static_assert(timesNamed(MessageType::BusChanged) == 1);

// Decodes the alternative of Request whose type matches, trying them in order.
template <size_t I = 0>
std::optional<Request> decodeAlternative(const Frame& frame, std::string* error) {
  if constexpr (I == std::variant_size_v<Request>) {
    if (error) *error = "unknown message type " + std::to_string(frame.type);
    return std::nullopt;
  } else {
    using Alternative = std::variant_alternative_t<I, Request>;
    if (frame.type != static_cast<uint8_t>(Alternative::kType)) {
      return decodeAlternative<I + 1>(frame, error);
    }
    std::optional<Alternative> message = decodePayload<Alternative>(frame.payload);
    if (!message) {
      if (error) *error = "malformed " + std::string(messageName(frame.type)) + " payload";
      return std::nullopt;
    }
    return Request{std::move(*message)};
  }
}

}  // namespace

std::string_view messageName(uint8_t type) {
  static const std::array kReplyNames = [] {
    std::array<std::string, kMessageNames.size()> names;
    for (size_t i = 0; i < kMessageNames.size(); ++i) {
      names[i] = std::string(kMessageNames[i].name) + " reply";
    }
    return names;
  }();
  const bool reply = (type & kReplyBit) != 0;
  const uint8_t base = type & static_cast<uint8_t>(~kReplyBit);
  for (size_t i = 0; i < kMessageNames.size(); ++i) {
    if (static_cast<uint8_t>(kMessageNames[i].type) == base) {
      return reply ? std::string_view(kReplyNames[i]) : kMessageNames[i].name;
    }
  }
  return "unknown";
}

FrameParse parseFrame(std::span<const uint8_t> buffer) {
  FrameParse parse;
  if (buffer.size() < kHeaderSize) return parse;
  const uint32_t bodySize = pv::loadLe32(buffer.data());
  if (bodySize == 0 || bodySize > kMaxFrameBody) {
    parse.status = FrameStatus::Invalid;
    parse.error = "frame body of " + std::to_string(bodySize) + " bytes (allowed 1 to " +
                  std::to_string(kMaxFrameBody) + ")";
    return parse;
  }
  if (buffer.size() - kHeaderSize < bodySize) return parse;
  const std::span<const uint8_t> body = buffer.subspan(kHeaderSize, bodySize);
  parse.status = FrameStatus::Complete;
  parse.consumed = kHeaderSize + bodySize;
  parse.frame.type = body[0];
  parse.frame.payload.assign(body.begin() + 1, body.end());
  return parse;
}

std::vector<uint8_t> encodeFrame(uint8_t type, std::span<const uint8_t> payload) {
  std::vector<uint8_t> frame(kHeaderSize + 1 + payload.size());
  pv::storeLe32(frame.data(), static_cast<uint32_t>(1 + payload.size()));
  frame[kHeaderSize] = type;
  if (!payload.empty()) std::memcpy(frame.data() + kHeaderSize + 1, payload.data(), payload.size());
  return frame;
}

// ---- Writer / Reader ----

void Writer::u32(uint32_t v) {
  uint8_t b[4];
  pv::storeLe32(b, v);
  bytes_.insert(bytes_.end(), b, b + 4);
}

void Writer::u64(uint64_t v) {
  u32(static_cast<uint32_t>(v));
  u32(static_cast<uint32_t>(v >> 32));
}

void Writer::bytes(std::span<const uint8_t> data) {
  u32(static_cast<uint32_t>(data.size()));
  bytes_.insert(bytes_.end(), data.begin(), data.end());
}

bool Reader::need(size_t n) {
  if (!ok_ || data_.size() - offset_ < n) ok_ = false;
  return ok_;
}

bool Reader::u8(uint8_t& v) {
  if (!need(1)) return false;
  v = data_[offset_++];
  return true;
}

bool Reader::u32(uint32_t& v) {
  if (!need(4)) return false;
  v = pv::loadLe32(data_.data() + offset_);
  offset_ += 4;
  return true;
}

bool Reader::u64(uint64_t& v) {
  uint32_t low = 0;
  uint32_t high = 0;
  if (!u32(low) || !u32(high)) return false;
  v = uint64_t{high} << 32 | low;
  return true;
}

bool Reader::bytes(std::vector<uint8_t>& out) {
  uint32_t n = 0;
  if (!count(n, 1)) return false;
  out.assign(data_.begin() + static_cast<ptrdiff_t>(offset_),
             data_.begin() + static_cast<ptrdiff_t>(offset_ + n));
  offset_ += n;
  return true;
}

bool Reader::count(uint32_t& n, size_t minElementSize) {
  if (!u32(n)) return false;
  if (static_cast<uint64_t>(n) * minElementSize > data_.size() - offset_) return fail();
  return true;
}

// ---- Field codecs ----

void put(Writer& w, uint8_t v) {
  w.u8(v);
}
void put(Writer& w, bool v) {
  w.u8(v ? 1 : 0);
}
void put(Writer& w, uint32_t v) {
  w.u32(v);
}
void put(Writer& w, uint64_t v) {
  w.u64(v);
}
void put(Writer& w, const std::string& v) {
  w.bytes({reinterpret_cast<const uint8_t*>(v.data()), v.size()});
}
void put(Writer& w, const std::vector<uint8_t>& v) {
  w.bytes(v);
}
void put(Writer& w, Model v) {
  w.u32(static_cast<uint32_t>(v));
}
void put(Writer& w, FaultAction v) {
  w.u8(static_cast<uint8_t>(v));
}
void put(Writer& w, TransferKind v) {
  w.u8(static_cast<uint8_t>(v));
}

bool get(Reader& r, uint8_t& v) {
  return r.u8(v);
}

bool get(Reader& r, bool& v) {
  uint8_t b = 0;
  if (!r.u8(b)) return false;
  if (b > 1) return r.fail();
  v = b == 1;
  return true;
}

bool get(Reader& r, uint32_t& v) {
  return r.u32(v);
}
bool get(Reader& r, uint64_t& v) {
  return r.u64(v);
}

bool get(Reader& r, std::string& v) {
  std::vector<uint8_t> b;
  if (!r.bytes(b)) return false;
  v.assign(b.begin(), b.end());
  return true;
}

bool get(Reader& r, std::vector<uint8_t>& v) {
  return r.bytes(v);
}

bool get(Reader& r, Model& v) {
  uint32_t raw = 0;
  if (!r.u32(raw)) return false;
  if (raw != static_cast<uint32_t>(Model::Studio) && raw != static_cast<uint32_t>(Model::Compact)) {
    return r.fail();
  }
  v = static_cast<Model>(raw);
  return true;
}

bool get(Reader& r, FaultAction& v) {
  uint8_t raw = 0;
  if (!r.u8(raw)) return false;
  if (raw > static_cast<uint8_t>(kLastFaultAction)) return r.fail();
  v = static_cast<FaultAction>(raw);
  return true;
}

bool get(Reader& r, TransferKind& v) {
  uint8_t raw = 0;
  if (!r.u8(raw)) return false;
  if (raw > static_cast<uint8_t>(kLastTransferKind)) return r.fail();
  v = static_cast<TransferKind>(raw);
  return true;
}

std::optional<Request> decodeRequest(const Frame& frame, std::string* error) {
  return decodeAlternative(frame, error);
}

}  // namespace simbus::wire
