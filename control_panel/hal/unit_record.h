// One listed unit: its identity, its coefficient access with the channel it holds, and its
// mixer engine.
//
// UnitRecord: one unit of the hardware abstraction's unit list.
#pragma once

#include <cstdint>
#include <memory>

#include "control_panel/device/avcio.h"
#include "control_panel/device/cv_avc.h"
#include "control_panel/hal/mix_engine.h"

namespace velmora {

struct UnitSerial {
  uint32_t low = 0;
  uint32_t high = 0;
  friend bool operator==(const UnitSerial&, const UnitSerial&) = default;
};

// No unit chosen yet.
inline constexpr UnitSerial NoUnitSerial{0x33EE0604, 0};
// The answer for an index past the list.
inline constexpr UnitSerial kNoSuchUnit{0xFFFFFFFF, 0xFFFFFFFF};

struct UnitRecord {
  UnitRecord() = default;
  ~UnitRecord();
  UnitRecord(const UnitRecord&) = delete;
  UnitRecord& operator=(const UnitRecord&) = delete;

  UnitSerial serial;
  std::unique_ptr<cvAVC> avc;
  AVCIO* io = nullptr;               // one reference held
  std::unique_ptr<MixEngine> mixer;  // bound to `avc`; none until a mixer is attached
  bool isStudio = false;             // the model flag: hardware version 19
};

}  // namespace velmora
