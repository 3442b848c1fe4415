// One unit's coefficients: the flat array of 32-bit words through which everything on the
// unit is set and read. SetValues/GetValues take batches of (index, value) pairs and pick,
// per batch, the cheapest transport the units were found to accept: 1394 block transfers,
// single quadlets, or AV/C vendor-dependent commands over FCP.
//
// Created unbound, one per unit, by the unit list; GUI thread only.
//
// cvAVC: one unit's coefficients, read and written in batches.
// CoefficientValue: one coefficient: its index and its value.
// TransportCaps: which kinds of 1394 read and write the units accept, for every unit.
#pragma once

#include <array>
#include <cstdint>

#include "control_panel/device/avcio.h"

namespace velmora {

struct CoefficientValue {
  uint32_t index = 0;
  uint32_t value = 0;
};

// Which transfers work, decided by the last Open of any unit and used for all of them.
struct TransportCaps {
  bool blockRead = false;
  bool quadletRead = false;
  bool blockWrite = false;
  bool quadletWrite = false;
};
TransportCaps& transportCaps();

// The IEEE company id in the AV/C coefficient commands.
inline constexpr uint32_t kAvcCompanyId = 0x7A1394;

// An AV/C command the unit did not accept (any response but ACCEPTED or STABLE) or answered
// with a frame shorter than the command.
inline constexpr uint32_t KVO_STATUS_AVC_NOT_ACCEPTED = 0xE0008040;

// -1 of the statuses below: no device / not bound.
inline constexpr uint32_t kAvcNoDevice = static_cast<uint32_t>(-1);

inline constexpr size_t kUnitInfoBlockSize = 104;  // platform::unit_info::kSize

class cvAVC {
 public:
  cvAVC() = default;
  // Drops the device reference.
  ~cvAVC();
  cvAVC(const cvAVC&) = delete;
  cvAVC& operator=(const cvAVC&) = delete;

  // Probes the transports on coefficient 0 and reads the information block. 0 success
  // (device bound, one reference more), kAvcNoDevice without a device, 1 when bound to
  // another device, otherwise the failing transfer's status (left unbound).
  uint32_t Open(AVCIO* device);
  // 0 success, kAvcNoDevice when not bound, otherwise the transport's status.
  uint32_t SetValues(const CoefficientValue* pairs, uint32_t count);
  // Fills the value fields (over AV/C also the index fields); statuses as SetValues.
  uint32_t GetValues(CoefficientValue* pairs, uint32_t count);

  // The status of the last SetValues or GetValues, for callers that do not see it (the
  // mixer engines): tells whether the unit stopped answering.
  uint32_t LastStatus() const { return lastStatus_; }

  AVCIO* Device() const { return mFireWireInterface; }
  const std::array<uint8_t, kUnitInfoBlockSize>& InfoBlock() const { return infoBlock_; }
  bool InfoBlockValid() const { return infoBlockValid_; }

 private:
  uint32_t setValues(const CoefficientValue* pairs, uint32_t count);
  uint32_t getValues(CoefficientValue* pairs, uint32_t count);
  uint32_t setByAvc(const CoefficientValue* pairs, uint32_t count);
  uint32_t getByAvc(CoefficientValue* pairs, uint32_t count);

  AVCIO* mFireWireInterface = nullptr;
  std::array<uint8_t, kUnitInfoBlockSize> infoBlock_{};
  bool infoBlockValid_ = false;
  uint32_t lastStatus_ = 0;
};

}  // namespace velmora
