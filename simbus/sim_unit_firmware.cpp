// What a unit's firmware does with its coefficients: rate codes and bands, the clock source
// and its lock, the status word, standalone mode, the flash store.
#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#include "simbus/sim_unit.h"

namespace simbus {

namespace {

namespace digips = platform::coeff::digips;
constexpr uint32_t kFactoryRateCode = 2;  // 48 kHz

// Where each input's lock shows in the status word (two bits, 1 = locked); wordclock has
// no bits of its own.
constexpr int kLockShift[] = {digips::kSpdifLockShift, digips::kAdat1LockShift,
                              digips::kAdat2LockShift, -1};

size_t lockSlot(SyncInput input) {
  return static_cast<size_t>(input) - 2;
}

uint32_t band(uint32_t rateCode) {
  return (rateCode + 1) / 2;
}

bool isRateCode(uint32_t code) {
  return code >= 1 && code <= 6;
}

}  // namespace

void SimUnit::powerOn() {
  if (flash_) {
    coefficients_ = *flash_;
  } else {
    coefficients_.fill(0);
    coefficients_[coefficient::kSampleRateCode] = kFactoryRateCode;
    // The factory name, four characters per word.
    char name[16] = {};
    const std::string factory = "Velmora " + std::string(modelName(spec_.model));
    std::memcpy(name, factory.data(), std::min<size_t>(factory.size(), sizeof name));
    for (size_t i = 0; i < 4; ++i) {
      uint32_t word = 0;
      for (size_t b = 0; b < 4; ++b) word = word << 8 | static_cast<uint8_t>(name[4 * i + b]);
      coefficients_[coefficient::kNameFirst + i] = word;
    }
  }
  rejoinRequested_ = false;
  bootloader_.powerOn();
  takeInstalledFirmware();
  refreshDerived();
}

bool SimUnit::takeRejoinRequest() {
  const bool reset = bootloader_.takeDeparture();
  return std::exchange(rejoinRequested_, false) || reset;
}

void SimUnit::setLocked(SyncInput input, bool locked) {
  locks_[lockSlot(input)] = locked;
  refreshDerived();
}

bool SimUnit::locked(SyncInput input) const {
  return locks_[lockSlot(input)];
}

void SimUnit::turnKnob(uint8_t position) {
  // The position is the low 8 bits; the firmware's other bits of the word stay as they are.
  uint32_t& word = coefficients_[coefficient::kKnob];
  word = (word & ~0xFFu) | position;
}

void SimUnit::pressButton(FrontPanelButton button) {
  uint32_t& word =
      coefficients_[button == FrontPanelButton::Dim ? coefficient::kDim : coefficient::kMute];
  word = word != 0 ? 0 : 1;
}

void SimUnit::setStandalone(bool on) {
  standalone_ = on;
  refreshDerived();
}

void SimUnit::setCoefficient(size_t index, uint32_t value) {
  if (index == coefficient::kStatus) {
    playOk_ = value & digips::kPlayOk;
    recordOk_ = value & digips::kRecordOk;
    writeOk_ = value & digips::kWriteOk;
    standalone_ = value & digips::kStandalone;
    for (size_t slot = 0; slot < 3; ++slot) locks_[slot] = ((value >> kLockShift[slot]) & 3) == 1;
  }
  coefficients_.at(index) = value;
  refreshDerived();
}

void SimUnit::writeCoefficient(size_t index, uint32_t value) {
  if (writeLog_.size() == kWriteLogSize) writeLog_.erase(writeLog_.begin());
  writeLog_.emplace_back(static_cast<uint32_t>(index), value);
  ++writeCount_;
  uint32_t& word = coefficients_[index];
  switch (index) {
    case coefficient::kSampleRateCode:
      if (!isRateCode(value)) return;  // the firmware keeps running at its rate
      if (band(value) != band(word)) rejoinRequested_ = true;
      word = value;
      break;
    case coefficient::kAdatOff:
      if ((value != 0) != (word != 0)) rejoinRequested_ = true;
      word = value;
      break;
    case coefficient::kStoreToFlash:
      word = value;
      if (value == 0) flash_ = coefficients_;
      break;
    case coefficient::kReleaseStandalone:
      if (value == platform::coeff::kReleaseStandaloneValue) standalone_ = false;
      break;
    case coefficient::kSync:
      word = value & 0xFF;  // only the selection is writable
      break;
    case coefficient::kStatus:
    case coefficient::kKnob:
      return;  // the firmware's own
    default:
      word = value;
      break;
  }
  refreshDerived();
}

void SimUnit::refreshDerived() {
  uint32_t status = (playOk_ ? digips::kPlayOk : 0) | (recordOk_ ? digips::kRecordOk : 0) |
                    (writeOk_ ? digips::kWriteOk : 0) | (standalone_ ? digips::kStandalone : 0);
  for (size_t slot = 0; slot < 3; ++slot) {
    if (locks_[slot]) status |= 1u << kLockShift[slot];
  }
  coefficients_[coefficient::kStatus] = status;

  // The unit runs on the selected source while it is locked, else on its internal clock.
  const uint32_t selected = coefficients_[coefficient::kSync] & 0xFF;
  const bool usable = selected >= 2 && selected <= 5 && locks_[selected - 2];
  const uint32_t inUse = usable ? selected : 0;
  coefficients_[coefficient::kSync] = selected | inUse << 8;
}

}  // namespace simbus
