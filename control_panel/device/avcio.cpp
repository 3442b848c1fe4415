#include "control_panel/device/avcio.h"

#include <cstring>

namespace velmora {

namespace pv = platform::vhpd;

namespace {

constexpr uint32_t kNullBuffer = static_cast<uint32_t>(-1);
constexpr uint8_t kUndeliveredByte = 0x0B;

}  // namespace

uint32_t AVCIO::ReadBlock(uint32_t addressLow, uint16_t addressHigh, uint32_t length,
                          uint8_t* buffer, uint32_t* transferred) {
  if (!buffer) return kNullBuffer;
  std::memset(buffer, kUndeliveredByte, length);
  const auto request = pv::makeAsyncRequest(pv::busAddress(addressHigh, addressLow));
  return channel_->AsyncRead(length, request.data(), buffer, transferred);
}

uint32_t AVCIO::ReadQuadlet(uint32_t addressLow, uint16_t addressHigh, uint8_t* buffer) {
  return ReadBlock(addressLow, addressHigh, 4, buffer);
}

uint32_t AVCIO::WriteBlock(uint32_t length, uint32_t addressLow, uint16_t addressHigh,
                           const uint8_t* data) {
  if (!data) return kNullBuffer;
  const auto request = pv::makeAsyncRequest(pv::busAddress(addressHigh, addressLow));
  return channel_->AsyncWrite(length, request.data(), data);
}

uint32_t AVCIO::WriteQuadlet(uint32_t addressLow, uint16_t addressHigh, uint32_t value) {
  uint8_t bytes[4];
  std::memcpy(bytes, &value, 4);
  return WriteBlock(4, addressLow, addressHigh, bytes);
}

uint32_t AVCIO::SendFcp(const uint8_t* command, uint32_t length, uint8_t* response,
                        uint32_t responseCapacity, uint32_t* responseLength) {
  if (!command || !response) return kNullBuffer;
  return channel_->FcpTransaction(command, length, response, responseCapacity, responseLength);
}

}  // namespace velmora
