#include "simbus/sim_bootloader.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/clock.h"
#include "platform/crc32.h"
#include "platform/win_error.h"

namespace simbus {

namespace we = platform::win_error;
using platform::vhpd::loadLe32;
using platform::vhpd::storeLe32;
namespace bl = bootloader;

namespace {

// Request words (byte offsets).
constexpr size_t kWordCommand = 4;  // bits 0-15 id, 16-23 code, 24-31 payload words
constexpr size_t kPayload = 8;

// Download-start payload.
constexpr size_t kStartType = 8;
constexpr size_t kStartDate = 12;  // eight digits, then the time: six digits and two spare
constexpr size_t kStartTime = 20;
constexpr size_t kStartSoftwareId = 28;
constexpr size_t kStartFirmware = 32;
constexpr size_t kStartAddress = 36;
constexpr size_t kStartLength = 40;
constexpr size_t kStartCrc = 44;

// Download-block payload.
constexpr size_t kBlockSequence = 8;
constexpr size_t kBlockAddress = 12;
constexpr size_t kBlockSize = 16;

// A streamed firmware file as the protocol-3 unit reads it.
namespace file {
constexpr char kIdentifier[] = "KwFm";
constexpr size_t kHeaderSize = 112;
constexpr size_t kSoftwareId = 24;
constexpr size_t kFirmware = 28;
constexpr size_t kBuildStamp = 8;
constexpr size_t kFileVersion = 40;
constexpr size_t kHeaderCrc = 44;
constexpr size_t kImageOffset = 48;
constexpr size_t kImageAddress = 52;
constexpr size_t kImageLength = 56;
constexpr size_t kImageCrc = 60;
constexpr size_t kCnEOffset = 80;
constexpr size_t kCnELength = 88;
constexpr size_t kCnECrc = 92;
}  // namespace file

// A unit holds at most this much of a stream; more is refused.
constexpr size_t kMaxStream = 16u << 20;

uint32_t word(std::span<const uint8_t> bytes, size_t offset) {
  return loadLe32(bytes.data() + offset);
}

uint32_t asWord(int32_t status) {
  return static_cast<uint32_t>(status);
}

// The payload words each request carries.
struct RequestShape {
  uint8_t code;
  uint32_t payloadWords;
};
constexpr RequestShape kRequestShapes[] = {
    {bl::kReset, 1},       {bl::kDownloadStart, 10}, {bl::kDownloadBlock, 3},
    {bl::kDownloadEnd, 0}, {bl::kProgramGuid, 2},    {bl::kInitPersParams, 0},
};

bool digits(std::span<const uint8_t> text) {
  return std::all_of(text.begin(), text.end(), [](uint8_t c) { return c >= '0' && c <= '9'; });
}

bool within(uint64_t address, size_t length, uint64_t base, size_t size) {
  return address >= base && address - base <= size && length <= size - (address - base);
}

}  // namespace

bool SimBootloader::covers(uint64_t address, size_t length) {
  return within(address, length, bl::kRequestWindow, bl::kRecordSize) ||
         within(address, length, bl::kDataWindow, bl::kDataWindowSize) ||
         within(address, length, bl::kResponseWindow, bl::kRecordSize);
}

std::optional<TransferKind> SimBootloader::requestKind(uint64_t address,
                                                       std::span<const uint8_t> data) {
  if (address != bl::kRequestWindow || data.size() != bl::kRecordSize) return std::nullopt;
  switch (data[kWordCommand + 2]) {
    case bl::kReset:
      return TransferKind::Reset;
    case bl::kDownloadStart:
      return TransferKind::DownloadStart;
    case bl::kDownloadBlock:
      return TransferKind::DownloadBlock;
    case bl::kDownloadEnd:
      return TransferKind::DownloadEnd;
    default:
      return std::nullopt;
  }
}

void SimBootloader::powerOn() {
  if (staged_.firmware || staged_.softwareId) installed_ = staged_;
  halted_ = applicationMissing_;
  idMask_ = 0;
  departure_ = false;
  armed_.reset();
  download_.reset();
  staged_ = {};
  late_.reset();
  response_.fill(0);
}

void SimBootloader::setMaxBlockSize(uint32_t size) {
  maxBlockSize_ = std::min<uint32_t>(size, bl::kDataWindowSize);
}

bool SimBootloader::takeDeparture() {
  return std::exchange(departure_, false);
}

std::optional<InstalledFirmware> SimBootloader::takeInstalled() {
  return std::exchange(installed_, std::nullopt);
}

const std::array<uint8_t, bl::kRecordSize>& SimBootloader::shownResponse() const {
  if (late_ &&
      platform::ticksElapsed(late_->issued, platform::clock().tickCount()) >= late_->delayMs) {
    return late_->bytes;
  }
  return response_;
}

uint32_t SimBootloader::read(uint64_t address, std::span<uint8_t> out) const {
  if (!within(address, out.size(), bl::kResponseWindow, bl::kRecordSize)) {
    return we::InvalidAddress;  // the request and data windows take writes only
  }
  const auto& shown = shownResponse();
  std::memcpy(out.data(), shown.data() + (address - bl::kResponseWindow), out.size());
  return we::Success;
}

uint32_t SimBootloader::write(uint64_t address, std::span<const uint8_t> data) {
  if (within(address, data.size(), bl::kDataWindow, bl::kDataWindowSize)) {
    std::copy(data.begin(), data.end(),
              dataWindow_.begin() + static_cast<std::ptrdiff_t>(address - bl::kDataWindow));
    return we::Success;
  }
  if (address == bl::kRequestWindow && data.size() == bl::kRecordSize) {
    takeRequest(data);
    return we::Success;
  }
  return we::InvalidAddress;
}

void SimBootloader::takeRequest(std::span<const uint8_t> request) {
  if (late_ && &shownResponse() == &late_->bytes) response_ = late_->bytes;
  late_.reset();  // an answer still on its way is overtaken by the new request
  std::optional<FaultRule> fault = std::exchange(armed_, std::nullopt);
  if (fault && !isBootloaderAction(fault->action)) fault.reset();
  const uint32_t key = word(request, kWordCommand) & 0xFFFFFF;
  const uint8_t code = request[kWordCommand + 2];
  const FaultAction action = fault ? fault->action : FaultAction::Fail;

  const bool known = std::any_of(std::begin(kRequestShapes), std::end(kRequestShapes),
                                 [&](const RequestShape& shape) { return shape.code == code; });
  if (!known) return;  // unknown requests get no answer
  const bool wellFormed = this->wellFormed(code, request);
  if (code == bl::kReset) {
    if (wellFormed) reset(word(request, kPayload), fault);  // a malformed reset is ignored
    return;
  }
  if (fault && action == FaultAction::NoAnswer) return;  // the request is lost
  Answer answer;
  if (!wellFormed) {
    answer = refusal(code, request, bl::kBadRequest);
  } else if (fault && action == FaultAction::Error) {
    answer = refusal(code, request, static_cast<int32_t>(fault->status));
  } else {
    switch (code) {
      case bl::kDownloadStart:
        answer = start(request);
        break;
      case bl::kDownloadBlock:
        answer = block(request);
        break;
      case bl::kDownloadEnd:
        answer = end(fault && action == FaultAction::WrongCrc);
        break;
      case bl::kProgramGuid:
      case bl::kInitPersParams:
        break;  // acknowledged; nothing the simulation keeps
      default:
        return;
    }
  }
  post(key, answer, fault && action == FaultAction::Late ? fault->delayMs : 0);
}

bool SimBootloader::wellFormed(uint8_t code, std::span<const uint8_t> request) const {
  if (word(request, 0) != protocol_) return false;
  const uint32_t count = word(request, kWordCommand) >> 24;
  for (const RequestShape& shape : kRequestShapes) {
    if (shape.code == code && shape.payloadWords != count) return false;
  }
  if (code != bl::kDownloadStart) return true;
  // The stamp of the file: a date of eight digits and a time of six.
  if (!digits(request.subspan(kStartDate, 8)) || !digits(request.subspan(kStartTime, 6))) {
    return false;
  }
  // The CnE block has no target address of its own.
  return word(request, kStartType) != bl::kCnE || word(request, kStartAddress) == 0;
}

void SimBootloader::reset(uint32_t type, const std::optional<FaultRule>& fault) {
  if (fault && (fault->action == FaultAction::NoAnswer || fault->action == FaultAction::Error)) {
    return;  // the unit ignores the reset
  }
  if (type != bl::kStartApplication && type != bl::kHaltInBootloader) return;
  download_.reset();
  halted_ = type == bl::kHaltInBootloader;
  const bool keepsOld = fault && fault->action == FaultAction::KeepsOld;
  if (!halted_ && (staged_.firmware || staged_.softwareId)) {
    installed_ = std::exchange(staged_, InstalledFirmware{});
    if (keepsOld) installed_.reset();
  }
  idMask_ = fault && fault->action == FaultAction::OtherId ? 0x80000000u : 0;
  departure_ = protocol_ != 1;
}

SimBootloader::Answer SimBootloader::refusal(uint8_t code, std::span<const uint8_t> request,
                                             int32_t status) const {
  Answer a;
  if (code == bl::kDownloadBlock) {
    a.words = {word(request, kBlockSequence), asWord(status)};
  } else if (code == bl::kDownloadEnd) {
    a.words = {0, asWord(status)};
  } else {
    a.words = {asWord(status), 0};
  }
  return a;
}

SimBootloader::Answer SimBootloader::start(std::span<const uint8_t> request) {
  auto refuse = [](int32_t status) { return Answer{{asWord(status), 0}}; };
  if (!halted_) return refuse(bl::kNotInBootloader);
  Announced object;
  object.type = word(request, kStartType);
  object.address = word(request, kStartAddress);
  object.length = word(request, kStartLength);
  object.crc = word(request, kStartCrc);
  object.softwareId = word(request, kStartSoftwareId);
  object.firmware = word(request, kStartFirmware);
  std::copy_n(request.begin() + kStartDate, object.stamp.size(), object.stamp.begin());
  if (object.type != bl::kProgram && object.type != bl::kCnE &&
      object.type != bl::kBootloaderImage) {
    return refuse(bl::kUnknownObject);
  }
  if (object.type != bl::kCnE && object.length > maxImageLength_) {
    return refuse(bl::kImageTooLarge);
  }
  // A stream may announce several objects before its first block; an object download
  // announces one.
  if (!streams() || !download_ || !download_->received.empty() || download_->nextSequence != 0) {
    download_ = Download{};
  }
  download_->objects.push_back(object);
  return Answer{{maxBlockSize_, 0}};
}

SimBootloader::Answer SimBootloader::block(std::span<const uint8_t> request) {
  const uint32_t sequence = word(request, kBlockSequence);
  const uint32_t address = word(request, kBlockAddress);
  const uint32_t size = word(request, kBlockSize);
  auto answer = [&](int32_t status) { return Answer{{sequence, asWord(status)}}; };
  if (!halted_) return answer(bl::kNotInBootloader);
  if (!download_) return answer(bl::kNoDownload);
  if (size == 0 || size > maxBlockSize_) return answer(bl::kBadBlockSize);
  if (sequence != download_->nextSequence) return answer(bl::kSequenceMismatch);
  const size_t received = download_->received.size();
  if (streams()) {
    if (address != received) return answer(bl::kAddressMismatch);
    if (received + size > kMaxStream) return answer(bl::kLengthMismatch);
  } else {
    const Announced& object = download_->objects.front();
    if (address != object.address + received) return answer(bl::kAddressMismatch);
    if (received + size > object.length) return answer(bl::kLengthMismatch);
  }
  // The first block of a program overwrites the application: from here until the end of a
  // good download, losing power leaves the unit without one.
  if (std::any_of(download_->objects.begin(), download_->objects.end(),
                  [](const Announced& o) { return o.type == bl::kProgram; })) {
    applicationMissing_ = true;
  }
  download_->received.insert(download_->received.end(), dataWindow_.begin(),
                             dataWindow_.begin() + size);
  ++download_->nextSequence;
  return answer(0);
}

SimBootloader::Answer SimBootloader::end(bool corrupt) {
  if (!halted_) return Answer{{0, asWord(bl::kNotInBootloader)}};
  if (!download_) return Answer{{0, asWord(bl::kNoDownload)}};
  // A corrupted transfer: one byte arrived wrong, so the CRC the unit computes differs.
  if (corrupt) {
    std::vector<uint8_t>& received = download_->received;
    if (received.empty()) received.push_back(0);
    received.back() ^= 0xFF;
  }
  const uint32_t crc = platform::crc32(download_->received);
  int32_t status = 0;
  InstalledFirmware install;
  if (streams()) {
    status = checkStream(install);
  } else {
    // Protocols 1 and 2 leave the comparison of the CRC to the host; the unit keeps only an
    // object that arrived whole and intact.
    const Announced& object = download_->objects.front();
    if (download_->received.size() != object.length) {
      status = bl::kLengthMismatch;
    } else if (crc == object.crc) {
      if (object.type == bl::kProgram) install.firmware = object.firmware;
      if (object.type == bl::kCnE) install.softwareId = object.softwareId;
    }
  }
  download_.reset();
  if (status == 0) {
    if (install.firmware) applicationMissing_ = false;
    if (install.firmware) staged_.firmware = install.firmware;
    if (install.softwareId) staged_.softwareId = install.softwareId;
  }
  return Answer{{crc, asWord(status)}};
}

int32_t SimBootloader::checkStream(InstalledFirmware& install) const {
  const std::vector<uint8_t>& f = download_->received;
  if (f.size() < file::kHeaderSize || std::memcmp(f.data(), file::kIdentifier, 4) != 0 ||
      word(f, file::kFileVersion) != 1) {
    return bl::kBadFile;
  }
  std::array<uint8_t, file::kHeaderSize> header{};
  std::copy(f.begin(), f.begin() + file::kHeaderSize, header.begin());
  storeLe32(header.data() + file::kHeaderCrc, 0);
  if (platform::crc32(header) != word(f, file::kHeaderCrc)) return bl::kBadFile;
  for (const Announced& object : download_->objects) {
    const bool cnE = object.type == bl::kCnE;
    const uint32_t offset = word(f, cnE ? file::kCnEOffset : file::kImageOffset);
    const uint32_t length = word(f, cnE ? file::kCnELength : file::kImageLength);
    const uint32_t crc = word(f, cnE ? file::kCnECrc : file::kImageCrc);
    if (offset == 0 || length != object.length || crc != object.crc ||
        uint64_t{offset} + length > f.size()) {
      return bl::kBadFile;
    }
    // The start named this file: its stamp, and for the image its target address.
    if (!std::equal(object.stamp.begin(), object.stamp.end(), f.begin() + file::kBuildStamp) ||
        (!cnE && object.address != word(f, file::kImageAddress))) {
      return bl::kBadFile;
    }
    if (platform::crc32(std::span(f).subspan(offset, length)) != crc) return bl::kBadFile;
    if (object.type == bl::kProgram) install.firmware = word(f, file::kFirmware);
    if (cnE) install.softwareId = word(f, file::kSoftwareId);
  }
  return 0;
}

void SimBootloader::post(uint32_t key, const Answer& answer, uint32_t delayMs) {
  std::array<uint8_t, bl::kRecordSize> bytes{};
  // Word 0 is not part of the protocol; the unit leaves a running count there.
  storeLe32(bytes.data(), ++answered_);
  storeLe32(bytes.data() + kWordCommand, key | 2u << 24);
  storeLe32(bytes.data() + kPayload, answer.words[0]);
  storeLe32(bytes.data() + kPayload + 4, answer.words[1]);
  if (delayMs == 0) {
    response_ = bytes;
    return;
  }
  late_ = LateAnswer{bytes, platform::clock().tickCount(), delayMs};
}

}  // namespace simbus
