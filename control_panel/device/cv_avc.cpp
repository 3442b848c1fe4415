#include "control_panel/device/cv_avc.h"

#include <cstring>
#include <vector>

#include "control_panel/device/diagnostic_log.h"
#include "control_panel/device/unit_info_read.h"
#include "platform/vhpd_protocol.h"

namespace velmora {

namespace pv = platform::vhpd;

namespace {

constexpr uint16_t kCoefficientHigh = 0x0001;
constexpr uint32_t kMailboxLow = 0x00010000;

constexpr uint8_t kCtypeControl = 0x00;
constexpr uint8_t kCtypeStatus = 0x01;
constexpr uint8_t kResponseAccepted = 0x09;
constexpr uint8_t kResponseStable = 0x0C;
constexpr size_t kAvcHeaderSize = 8;
constexpr size_t kAvcPairSize = 8;
constexpr size_t kAvcMaxFrame = 512;

// Coefficient n lives at 0x0001:00000000 + 4n, a carry out of the low part going up.
struct BusAddress {
  uint32_t low;
  uint16_t high;
};
BusAddress coefficientAddress(uint32_t index) {
  const uint64_t address = (uint64_t{kCoefficientHigh} << 32) + 4ull * index;
  return {static_cast<uint32_t>(address), static_cast<uint16_t>(address >> 32)};
}

uint32_t toBus(uint32_t value) {
  return __builtin_bswap32(value);
}

std::vector<uint8_t> avcFrame(uint8_t ctype, const CoefficientValue* pairs, uint32_t count) {
  std::vector<uint8_t> frame(kAvcHeaderSize + kAvcPairSize * count);
  frame[0] = ctype;
  frame[1] = 0xFF;  // the unit itself
  frame[2] = 0x00;  // VENDOR-DEPENDENT
  frame[3] = static_cast<uint8_t>(kAvcCompanyId >> 16);
  frame[4] = static_cast<uint8_t>(kAvcCompanyId >> 8);
  frame[5] = static_cast<uint8_t>(kAvcCompanyId);
  frame[6] = 0x03;  // coefficient command
  frame[7] = static_cast<uint8_t>(count);
  for (uint32_t i = 0; i < count; ++i) {
    pv::storeBe32(frame.data() + kAvcHeaderSize + kAvcPairSize * i, pairs[i].index);
    pv::storeBe32(frame.data() + kAvcHeaderSize + kAvcPairSize * i + 4, pairs[i].value);
  }
  return frame;
}

// A response counts only when the unit accepted the command and answered it whole.
bool avcAccepted(const std::vector<uint8_t>& response, uint32_t responseLength,
                 size_t commandLength, uint8_t expected) {
  return responseLength >= commandLength && !response.empty() && response[0] == expected;
}

// Finds the transfers the unit accepts, on coefficient 0. The driver sends a 4-byte transfer
// as a quadlet transaction, so the block probes are longer: the read takes coefficients 0 and
// 1, the write sets coefficient 0 through the block-set mailbox. The writes put back a value
// read from the unit and are not tried without one. 0, or the status at which the unit
// stopped answering (the remaining probes are not tried).
uint32_t probeTransports(AVCIO& device, TransportCaps& caps) {
  const BusAddress first = coefficientAddress(0);
  uint8_t pair[8];
  uint32_t delivered = 0;
  uint32_t status = device.ReadBlock(first.low, first.high, sizeof pair, pair, &delivered);
  if (UnitStoppedAnswering(status)) return status;
  caps.blockRead = status == 0 && delivered == sizeof pair;

  uint8_t word[4];
  status = device.ReadQuadlet(first.low, first.high, word);
  if (UnitStoppedAnswering(status)) return status;
  caps.quadletRead = status == 0;

  if (!caps.blockRead && !caps.quadletRead) return 0;
  // Coefficient 0 as it lies on the bus; the mailbox pair is (index 0, that value).
  const uint8_t* value = caps.quadletRead ? word : pair;
  uint8_t mailbox[kAvcPairSize] = {};
  std::memcpy(mailbox + 4, value, 4);
  status = device.WriteBlock(sizeof mailbox, kMailboxLow, kCoefficientHigh, mailbox);
  if (UnitStoppedAnswering(status)) return status;
  caps.blockWrite = status == 0;

  uint32_t asInMemory;
  std::memcpy(&asInMemory, value, 4);
  status = device.WriteQuadlet(first.low, first.high, asInMemory);
  if (UnitStoppedAnswering(status)) return status;
  caps.quadletWrite = status == 0;
  return 0;
}

}  // namespace

TransportCaps& transportCaps() {
  static TransportCaps caps;
  return caps;
}

cvAVC::~cvAVC() {
  if (mFireWireInterface) mFireWireInterface->Release();
  infoBlockValid_ = false;
}

uint32_t cvAVC::Open(AVCIO* device) {
  if (!device) {
    LogText("cvAVC::Open() failed, device == NULL\n");
    return kAvcNoDevice;
  }
  if (mFireWireInterface == device) return 0;
  if (mFireWireInterface) {
    LogText("cvAVC::Open() returned -1, mFireWireInterface present but != device\n");
    return 1;
  }

  TransportCaps probed;
  uint32_t status = probeTransports(*device, probed);
  // A unit that stopped answering during the probe says nothing about its transports: the
  // other units keep theirs.
  if (status == 0) {
    transportCaps() = probed;
    status = probed.blockRead ? ReadInfoBlockByBlock(*device, infoBlock_.data())
                              : ReadInfoBlockByQuadlets(*device, infoBlock_.data());
  }

  if (status == pv::KVO_STATUS_DEVICE_REMOVED) {
    LogText("  cvAVC::Open() failed: 0xE0000050 (KVO_STATUS_DEVICE_REMOVED)");
  } else if (status != 0) {
    Log("  cvAVC::Open() : failed (%x)", status);
  } else {
    LogText("  cvAVC::Open() : SUCCESS");
    device->Retain();
    mFireWireInterface = device;
    infoBlockValid_ = true;
  }
  LogText("\n");
  return status;
}

uint32_t cvAVC::SetValues(const CoefficientValue* pairs, uint32_t count) {
  return lastStatus_ = setValues(pairs, count);
}

uint32_t cvAVC::GetValues(CoefficientValue* pairs, uint32_t count) {
  return lastStatus_ = getValues(pairs, count);
}

uint32_t cvAVC::setValues(const CoefficientValue* pairs, uint32_t count) {
  if (!mFireWireInterface) {
    LogText("cvAVC::SetValues() failed, no mFireWireInterface\n");
    return kAvcNoDevice;
  }
  if (count == 0) return 0;  // nothing to send; an empty bus write would only be refused
  const TransportCaps& caps = transportCaps();
  if (caps.blockWrite) {
    std::vector<uint8_t> batch(8ull * count);
    for (uint32_t i = 0; i < count; ++i) {
      pv::storeBe32(batch.data() + 8 * i, pairs[i].index);
      pv::storeBe32(batch.data() + 8 * i + 4, pairs[i].value);
    }
    return mFireWireInterface->WriteBlock(static_cast<uint32_t>(batch.size()), kMailboxLow,
                                          kCoefficientHigh, batch.data());
  }
  if (caps.quadletWrite && count < 6) {
    for (uint32_t i = 0; i < count; ++i) {
      const BusAddress at = coefficientAddress(pairs[i].index);
      const uint32_t status =
          mFireWireInterface->WriteQuadlet(at.low, at.high, toBus(pairs[i].value));
      if (status != 0) return status;
    }
    return 0;
  }
  return setByAvc(pairs, count);
}

uint32_t cvAVC::setByAvc(const CoefficientValue* pairs, uint32_t count) {
  const std::vector<uint8_t> frame = avcFrame(kCtypeControl, pairs, count);
  if (frame.size() > kAvcMaxFrame) return pv::KVO_STATUS_FRAME_TOO_LONG;
  std::vector<uint8_t> response(kAvcMaxFrame);
  uint32_t length = 0;
  const uint32_t status =
      mFireWireInterface->SendFcp(frame.data(), static_cast<uint32_t>(frame.size()),
                                  response.data(), static_cast<uint32_t>(response.size()), &length);
  if (status != 0) return status;
  return avcAccepted(response, length, frame.size(), kResponseAccepted)
             ? 0
             : KVO_STATUS_AVC_NOT_ACCEPTED;
}

uint32_t cvAVC::getValues(CoefficientValue* pairs, uint32_t count) {
  if (!mFireWireInterface) return kAvcNoDevice;
  bool contiguous = true;
  for (uint32_t i = 1; i < count; ++i) {
    if (pairs[i].index != pairs[i - 1].index + 1) contiguous = false;
  }
  const TransportCaps& caps = transportCaps();
  if (caps.blockRead && contiguous && count > 1) {
    std::vector<uint8_t> words(4ull * count);
    const BusAddress at = coefficientAddress(pairs[0].index);
    const uint32_t status = mFireWireInterface->ReadBlock(
        at.low, at.high, static_cast<uint32_t>(words.size()), words.data());
    // A failed read leaves filler bytes, never values, in the caller's pairs.
    if (status != 0) return status;
    for (uint32_t i = 0; i < count; ++i) pairs[i].value = pv::loadBe32(words.data() + 4 * i);
    return 0;
  }
  if (caps.quadletRead && count < 6) {
    if (count == 0) return kAvcNoDevice;
    for (uint32_t i = 0; i < count; ++i) {
      uint8_t word[4];
      const BusAddress at = coefficientAddress(pairs[i].index);
      const uint32_t status = mFireWireInterface->ReadQuadlet(at.low, at.high, word);
      if (status != 0) return status;
      pairs[i].value = pv::loadBe32(word);
    }
    return 0;
  }
  return getByAvc(pairs, count);
}

uint32_t cvAVC::getByAvc(CoefficientValue* pairs, uint32_t count) {
  const std::vector<uint8_t> frame = avcFrame(kCtypeStatus, pairs, count);
  if (frame.size() > kAvcMaxFrame) return pv::KVO_STATUS_FRAME_TOO_LONG;
  std::vector<uint8_t> response(frame.size());
  uint32_t length = 0;
  const uint32_t status =
      mFireWireInterface->SendFcp(frame.data(), static_cast<uint32_t>(frame.size()),
                                  response.data(), static_cast<uint32_t>(response.size()), &length);
  if (status != 0) return status;
  if (!avcAccepted(response, length, frame.size(), kResponseStable)) {
    return KVO_STATUS_AVC_NOT_ACCEPTED;
  }
  for (uint32_t i = 0; i < count; ++i) {
    pairs[i].index = pv::loadBe32(response.data() + kAvcHeaderSize + kAvcPairSize * i);
    pairs[i].value = pv::loadBe32(response.data() + kAvcHeaderSize + kAvcPairSize * i + 4);
  }
  return 0;
}

}  // namespace velmora
