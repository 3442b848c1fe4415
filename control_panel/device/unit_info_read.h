// Reading a unit's 104-byte information block at 0xFFFF:C8020000, in one block read or word
// by word for units that take only quadlet transactions.
#pragma once

#include <cstdint>

#include "control_panel/device/avcio.h"
#include "platform/vhpd_protocol.h"

namespace velmora {

// A unit that has left the bus or stopped answering: further transfers would only fail or
// wait out their bound again, so loops of transfers stop at such a status.
inline bool UnitStoppedAnswering(uint32_t status) {
  return status == platform::vhpd::KVO_STATUS_DEVICE_REMOVED ||
         status == platform::vhpd::KVO_STATUS_TIMEOUT;
}

// One block read of the whole block; its status.
uint32_t ReadInfoBlockByBlock(AVCIO& device, uint8_t* block);
// 26 quadlet reads; the status is the last read's, or that of the read at which the unit
// stopped answering (the rest are not tried).
uint32_t ReadInfoBlockByQuadlets(AVCIO& device, uint8_t* block);
// A block read, and quadlets when the unit refuses it (not when it stopped answering).
uint32_t ReadInfoBlock(AVCIO& device, uint8_t* block);

}  // namespace velmora
