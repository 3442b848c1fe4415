#include "simbus/sim_unit.h"

#include <cstring>

#include "platform/win_error.h"

namespace simbus {

namespace we = platform::win_error;
using platform::vhpd::loadBe32;
using platform::vhpd::storeBe32;
using platform::vhpd::storeLe32;

namespace {

constexpr char kBuildStamp[] = "2026110112000000";  // date "20261101", time "12000000"

// Offset of [address, address + length) inside [base, base + size), if it lies there.
std::optional<size_t> offsetIn(uint64_t address, size_t length, uint64_t base, size_t size) {
  if (address < base || address - base > size || length > size - (address - base)) {
    return std::nullopt;
  }
  return static_cast<size_t>(address - base);
}

}  // namespace

void TransferCounts::count(TransferKind kind) {
  switch (kind) {
    case TransferKind::BlockRead:
      ++blockRead;
      break;
    case TransferKind::QuadletRead:
      ++quadletRead;
      break;
    case TransferKind::BlockWrite:
      ++blockWrite;
      break;
    case TransferKind::QuadletWrite:
      ++quadletWrite;
      break;
    case TransferKind::Fcp:
      ++fcp;
      break;
    case TransferKind::Any:
    case TransferKind::Reset:
    case TransferKind::DownloadStart:
    case TransferKind::DownloadBlock:
    case TransferKind::DownloadEnd:
    case TransferKind::DriverInfo:
    case TransferKind::SampleRateGet:
    case TransferKind::SampleRateSet:
    case TransferKind::StreamCounters:
    case TransferKind::DeviceFlags:
    case TransferKind::Open:
    case TransferKind::DeviceNode:
      break;  // not kinds of transaction
  }
}

SimUnit::SimUnit(const UnitSpec& spec)
    : spec_(spec), softwareId_(spec.model == Model::Studio ? 3 : 6), bootloader_(spec.protocol) {
  powerOn();
}

std::array<uint8_t, kInfoBlockSize> SimUnit::infoBlock() const {
  std::array<uint8_t, kInfoBlockSize> block{};
  std::memcpy(block.data() + info::kManufacturerId, info::kManufacturer, 8);
  storeLe32(block.data() + info::kProtocolVersion, spec_.protocol);
  storeLe32(block.data() + info::kBootloaderMode, bootloader_.halted() ? 1 : 0);
  storeLe32(block.data() + info::kGuidHigh, spec_.serialHigh);
  storeLe32(block.data() + info::kGuidLow, spec_.serialLow ^ bootloader_.reportedIdMask());
  storeLe32(block.data() + info::kHardwareModelId, static_cast<uint32_t>(spec_.model));
  std::memcpy(block.data() + info::kBuildStamp1, kBuildStamp, 16);
  storeLe32(block.data() + info::kSoftwareId, softwareId_);
  storeLe32(block.data() + info::kFirmwareVersion, spec_.firmware);
  storeLe32(block.data() + info::kMaxImageLength, bootloader_.maxImageLength());
  std::memcpy(block.data() + info::kBuildStamp2, kBuildStamp, 16);
  std::memcpy(block.data() + info::kBuildStamp3, kBuildStamp, 16);
  return block;
}

uint32_t SimUnit::read(uint64_t address, std::span<uint8_t> out) const {
  if (out.empty()) return we::InvalidParameter;
  const bool quadlet = readKind(out.size()) == TransferKind::QuadletRead;
  if (quadlet ? !accepts.quadletRead : !accepts.blockRead) return we::NotSupported;
  if (out.size() % 4 != 0 || address % 4 != 0) return we::InvalidAddress;

  if (auto at = offsetIn(address, out.size(), kCoefficientBase, kCoefficientCount * 4)) {
    // The coefficients belong to the application: the boot loader does not serve them.
    if (bootloader_.halted()) return we::InvalidAddress;
    for (size_t i = 0; i < out.size() / 4; ++i) {
      storeBe32(out.data() + 4 * i, coefficients_[*at / 4 + i]);
    }
    return we::Success;
  }
  if (auto at = offsetIn(address, out.size(), kInfoBlockAddress, kInfoBlockSize)) {
    const auto block = infoBlock();
    std::memcpy(out.data(), block.data() + *at, out.size());
    return we::Success;
  }
  if (SimBootloader::covers(address, out.size())) return bootloader_.read(address, out);
  return we::InvalidAddress;
}

uint32_t SimUnit::write(uint64_t address, std::span<const uint8_t> data) {
  if (data.empty()) return we::InvalidParameter;
  const bool quadlet = writeKind(data.size()) == TransferKind::QuadletWrite;
  if (quadlet ? !accepts.quadletWrite : !accepts.blockWrite) return we::NotSupported;
  // Boot-loader blocks carry any number of bytes.
  if (SimBootloader::covers(address, data.size())) {
    const uint32_t error = bootloader_.write(address, data);
    takeInstalledFirmware();
    return error;
  }
  if (data.size() % 4 != 0 || address % 4 != 0) return we::InvalidAddress;

  if (auto at = offsetIn(address, data.size(), kCoefficientBase, kCoefficientCount * 4)) {
    if (bootloader_.halted()) return we::InvalidAddress;
    for (size_t i = 0; i < data.size() / 4; ++i) {
      writeCoefficient(*at / 4 + i, loadBe32(data.data() + 4 * i));
    }
    return we::Success;
  }
  if (address == kBlockSetMailbox) {
    if (bootloader_.halted()) return we::InvalidAddress;
    const size_t pairs = data.size() / 8;
    if (data.size() % 8 != 0 || pairs > kBlockSetMaxPairs) return we::InvalidParameter;
    // All or nothing: a bad index refuses the whole batch.
    for (size_t i = 0; i < pairs; ++i) {
      if (loadBe32(data.data() + 8 * i) >= kCoefficientCount) return we::InvalidParameter;
    }
    for (size_t i = 0; i < pairs; ++i) {
      writeCoefficient(loadBe32(data.data() + 8 * i), loadBe32(data.data() + 8 * i + 4));
    }
    return we::Success;
  }
  return we::InvalidAddress;
}

void SimUnit::takeInstalledFirmware() {
  if (const std::optional<InstalledFirmware> installed = bootloader_.takeInstalled()) {
    if (installed->firmware) spec_.firmware = *installed->firmware;
    if (installed->softwareId) softwareId_ = *installed->softwareId;
  }
}

std::vector<uint8_t> SimUnit::avcTransaction(std::span<const uint8_t> command) {
  std::vector<uint8_t> response(command.begin(), command.end());
  auto answer = [&](uint8_t code) {
    if (!response.empty()) response[0] = code;
    return response;
  };
  if (bootloader_.halted() || command.size() < avc::kHeaderSize ||
      command[1] != avc::kSubunitUnit || command[2] != avc::kOpcodeVendorDependent ||
      (uint32_t{command[3]} << 16 | uint32_t{command[4]} << 8 | command[5]) != kVendorId ||
      command[6] != avc::kCoefficientCommand) {
    return answer(avc::kResponseNotImplemented);
  }
  const uint8_t ctype = command[0];
  if (ctype != avc::kCtypeControl && ctype != avc::kCtypeStatus) {
    return answer(avc::kResponseNotImplemented);
  }
  const size_t count = command[7];
  const size_t length = avc::kHeaderSize + avc::kPairSize * count;
  if (command.size() < length) return answer(avc::kResponseRejected);
  response.resize(length);
  for (size_t i = 0; i < count; ++i) {
    if (loadBe32(command.data() + avc::kHeaderSize + avc::kPairSize * i) >= kCoefficientCount) {
      return answer(avc::kResponseRejected);
    }
  }
  for (size_t i = 0; i < count; ++i) {
    uint8_t* pair = response.data() + avc::kHeaderSize + avc::kPairSize * i;
    const uint32_t index = loadBe32(pair);
    if (ctype == avc::kCtypeControl) {
      writeCoefficient(index, loadBe32(pair + 4));
    } else {
      storeBe32(pair + 4, coefficients_[index]);
    }
  }
  return answer(ctype == avc::kCtypeControl ? avc::kResponseAccepted : avc::kResponseStable);
}

}  // namespace simbus
