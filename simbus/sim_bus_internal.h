// Inner records of SimBus, shared by its implementation files only.
#pragma once

#include <array>
#include <cctype>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win_error.h"
#include "simbus/sim_bus.h"

namespace simbus {

inline constexpr std::array<uint32_t, 6> kDriverRates{44100, 48000, 88200, 96000, 176400, 192000};

inline bool isDriverRate(uint32_t hz) {
  for (uint32_t r : kDriverRates) {
    if (r == hz) return true;
  }
  return false;
}

// Registry keys and value names compare without regard to case.
inline std::string lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

inline IoReply failed(uint32_t error) {
  IoReply r;
  r.error = error;
  return r;
}

inline IoReply withOutput(std::vector<uint8_t> output) {
  IoReply r;
  r.bytesReturned = static_cast<uint32_t>(output.size());
  r.output = std::move(output);
  return r;
}

// A fixed-size reply record, or InsufficientBuffer when the caller's buffer cannot hold it.
inline IoReply record(std::span<const uint8_t> output, size_t size,
                      const std::function<void(uint8_t*)>& fill) {
  if (output.size() < size) return failed(platform::win_error::InsufficientBuffer);
  std::vector<uint8_t> data(size, 0);
  fill(data.data());
  return withOutput(std::move(data));
}

struct SimBus::UnitSlot {
  explicit UnitSlot(const UnitSpec& spec) : unit(spec) {}
  SimUnit unit;
  bool onBus = false;
  bool nodeEnabled = true;
  uint32_t epoch = 0;         // bumps at every arrival; older handles are dead
  uint64_t arrival = 0;       // enumeration order
  uint32_t installFlags = 0;  // left by the last device-node change
  TransferCounts transfers;
};

struct SimBus::Handle {
  bool control = false;
  uint32_t serial = 0;
  uint32_t epoch = 0;
};

struct SimBus::State {
  std::vector<std::unique_ptr<UnitSlot>> units;
  std::map<HandleId, Handle> handles;
  HandleId nextHandle = 1;
  DriverState driver;
  bool devicesStopped = false;
  uint32_t generation = 0;
  uint64_t arrivals = 0;
  FaultPlan faults;
  // Driver settings: lower-cased key -> lower-cased value name -> value.
  using SettingValues = std::map<std::string, uint32_t>;
  std::map<std::string, SettingValues> settings;
  // Keys hidden from the driver's clients; their values wait for the key to come back.
  std::set<std::string> absentKeys;
  SettingValues* visibleSettings(const std::string& lowerKey) {
    const auto k = settings.find(lowerKey);
    if (k == settings.end() || absentKeys.count(lowerKey)) return nullptr;
    return &k->second;
  }
  const SettingValues* visibleSettings(const std::string& lowerKey) const {
    return const_cast<State*>(this)->visibleSettings(lowerKey);
  }
  std::map<uint64_t, std::shared_ptr<std::function<void()>>> subscribers;
  uint64_t nextSubscriber = 1;
  uint64_t version = 0;
  bool changed = false;  // a bus change waits to be notified
  struct Rejoin {
    uint32_t serial;
    uint32_t leftAt;  // tick
  };
  std::vector<Rejoin> rejoins;  // units away for a change of their AV/C model
};

}  // namespace simbus
