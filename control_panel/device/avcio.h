// The holder of a unit channel, shared by the coefficient layer and the unit list: reference
// counted, the channel is closed and destroyed with the last reference. Addresses are given
// as their high 16 and low 32 bits.
//
// AVCIO: the shared holder of one unit channel.
#pragma once

#include <cstdint>
#include <memory>

#include "control_panel/device/kvo_ctrl.h"
#include "control_panel/device/retained_object.h"

namespace velmora {

class AVCIO final : public RetainedObject {
 public:
  // Takes ownership of an open (or closed) channel; the caller holds the first reference.
  static AVCIO* Create(std::unique_ptr<CKvoCtrl> channel) { return new AVCIO(std::move(channel)); }

  CKvoCtrl& Channel() { return *channel_; }

  // Each returns the channel's status, or -1 (as unsigned) for a null buffer without a request.
  // ReadBlock fills the requested length with 0x0B before reading, so bytes the driver did
  // not deliver are recognisable.
  uint32_t ReadBlock(uint32_t addressLow, uint16_t addressHigh, uint32_t length, uint8_t* buffer,
                     uint32_t* transferred = nullptr);
  uint32_t ReadQuadlet(uint32_t addressLow, uint16_t addressHigh, uint8_t* buffer);
  uint32_t WriteBlock(uint32_t length, uint32_t addressLow, uint16_t addressHigh,
                      const uint8_t* data);
  // Writes the value's 4 bytes as they lie in memory; swap first for big-endian on the bus.
  uint32_t WriteQuadlet(uint32_t addressLow, uint16_t addressHigh, uint32_t value);
  uint32_t SendFcp(const uint8_t* command, uint32_t length, uint8_t* response,
                   uint32_t responseCapacity, uint32_t* responseLength = nullptr);

 private:
  explicit AVCIO(std::unique_ptr<CKvoCtrl> channel) : channel_(std::move(channel)) {}
  ~AVCIO() override = default;

  std::unique_ptr<CKvoCtrl> channel_;
};

}  // namespace velmora
