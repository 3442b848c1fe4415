// The request/response exchange and the transfers beneath it.
#include <cstring>

#include "fwdl/kvo_device.h"
#include "fwdl/logging/library_log.h"
#include "platform/clock.h"
#include "platform/win_error.h"

namespace fwdl {

namespace pv = platform::vhpd;
namespace we = platform::win_error;

namespace {

constexpr size_t kWordCommand = 4;
constexpr size_t kFirstPayloadWord = 8;
constexpr uint32_t kPollIntervalMs = 20;

struct RequestKind {
  uint8_t code;
  uint32_t payloadWords;
  TimeoutIndex timeout;  // also bounds the writes of the request
  KVOFWDL_STATUS timeoutStatus;
};

constexpr RequestKind kRequestKinds[] = {
    {REQ_RESET, 1, TIMEOUT_RESET, KVOFWDL_STATUS_RESET_TIMEOUT},
    {REQ_DOWNLOAD_START, 10, TIMEOUT_DOWNLOAD_START, KVOFWDL_STATUS_START_TIMEOUT},
    {REQ_DOWNLOAD_BLOCK, 3, TIMEOUT_DOWNLOAD_BLOCK, KVOFWDL_STATUS_BLOCK_TIMEOUT},
    {REQ_DOWNLOAD_END, 0, TIMEOUT_DOWNLOAD_END, KVOFWDL_STATUS_END_TIMEOUT},
    {REQ_PROGRAM_GUID, 2, TIMEOUT_PROGRAM_GUID, KVOFWDL_STATUS_PROGRAM_GUID_TIMEOUT},
    {REQ_INIT_PERS_PARAMS, 0, TIMEOUT_INIT_PERS_PARAMS, KVOFWDL_STATUS_INIT_PERS_PARAMS_TIMEOUT},
};

const RequestKind* FindRequestKind(uint32_t code) {
  for (const RequestKind& kind : kRequestKinds) {
    if (kind.code == code) return &kind;
  }
  return nullptr;
}

void PutWord(BootloaderRecord& record, size_t offset, uint32_t value) {
  StoreLe32(record.data() + offset, value);
}

// Milliseconds since `start` on the tick counter, counted across its wrap the way the
// protocol's time-outs count it.
uint32_t TicksSince(uint32_t start, uint32_t now) {
  return now >= start ? now - start : (0xFFFFFFFFu - start) + now;
}

}  // namespace

KVOFWDL_STATUS KvoDevice::SetTimeout(uint32_t index, uint32_t milliseconds) {
  if (index >= kTimeoutCount) {
    Log(LogType::Error, "unknown timeout parameter\n");
    return KVOFWDL_STATUS_UNKNOWN_TIMEOUT_PARAMETER;
  }
  timeouts_[index] = milliseconds;
  return KVOFWDL_STATUS_SUCCESS;
}

uint32_t KvoDevice::Read(uint64_t address, void* buffer, uint32_t length, uint32_t waitMs) {
  Log(LogType::Data, "KvoDevice::Read ...\n");
  std::memset(buffer, 0, length);
  uint32_t received = 0;
  const uint32_t result = AsyncReadSync(address, buffer, length, received, waitMs);
  if (result != we::Success) {
    Log(LogType::Data,
        "Read: AsyncReadSync returned with result 0x%08X. Address 0x%012llX, %u bytes.\n", result,
        static_cast<unsigned long long>(address), length);
    std::memset(buffer, 0, length);
    return result;
  }
  if (received < length) {
    Log(LogType::Error,
        "Read: AsyncReadSync: bytes to read = %u, bytes received = %u. Address 0x%012llX.\n",
        length, received, static_cast<unsigned long long>(address));
    std::memset(buffer, 0, length);
    return pv::KVO_STATUS_LENGTH_MISMATCH;
  }
  return we::Success;
}

uint32_t KvoDevice::Write(uint64_t address, const void* buffer, uint32_t length, uint32_t waitMs) {
  Log(LogType::Data, "KvoDevice::Write ...\n");
  uint32_t written = 0;
  const uint32_t result = AsyncWriteSync(address, buffer, length, written, waitMs);
  if (result != we::Success) {
    Log(LogType::Error,
        "Write: AsyncWriteSync returned with result 0x%08X. Address 0x%012llX, %u bytes.\n", result,
        static_cast<unsigned long long>(address), length);
    return result;
  }
  if (written < length) {
    Log(LogType::Error,
        "Write: AsyncWriteSync: bytes to write = %u, bytes written = %u. Address 0x%012llX.\n",
        length, written, static_cast<unsigned long long>(address));
    return pv::KVO_STATUS_LENGTH_MISMATCH;
  }
  return we::Success;
}

KVOFWDL_STATUS KvoDevice::ReadDeviceInfo() {
  return ReadDeviceInfoWithin(kInfoReadWaitMs);
}

KVOFWDL_STATUS KvoDevice::ReadDeviceInfoWithin(uint32_t waitMs) {
  Log(LogType::Info, "KvoDevice::ReadDeviceInfo ...\n");
  info_.Clear();
  const uint32_t result = Read(kInfoBlockAddress, info_.Bytes().data(), unit_info::kSize, waitMs);
  if (result != we::Success) {
    Log(LogType::Error, "ReadDeviceInfo: Read failed with error 0x%08X: address 0x%012llX\n",
        result, static_cast<unsigned long long>(kInfoBlockAddress));
    return KVOFWDL_STATUS_DEVICE_READ_FAILED;
  }
  return KVOFWDL_STATUS_SUCCESS;
}

KVOFWDL_STATUS KvoDevice::WriteRequest(uint8_t code, BootloaderRequest& request) {
  Log(LogType::Data, "KvoDevice::WriteRequest (ID = %u) ...\n", (requestId_ + 1) & 0xFFFF);
  const RequestKind* kind = FindRequestKind(code);
  if (kind == nullptr) {
    Log(LogType::Error, "WriteRequest: unexpected request command code 0x%02x\n", code);
    return KVOFWDL_STATUS_DEVICE_WRITE_FAILED;
  }
  PutWord(request, 0, info_.ProtocolVersion());
  ++requestId_;
  const uint32_t key = uint32_t{code} << 16 | (requestId_ & 0xFFFF);
  PutWord(request, kWordCommand, key | kind->payloadWords << 24);
  lastKey_ = key;
  // A unit that never confirms the write must not hold the request longer than its time-out.
  const uint32_t result =
      Write(kRequestAddress, request.data(), request.size(), Timeout(kind->timeout));
  if (result != we::Success) {
    Log(LogType::Error,
        "WriteRequest: Write with command code 0x%02x failed with error 0x%08X. Address "
        "0x%012llX.\n",
        code, result, static_cast<unsigned long long>(kRequestAddress));
    return KVOFWDL_STATUS_DEVICE_WRITE_FAILED;
  }
  return KVOFWDL_STATUS_SUCCESS;
}

KVOFWDL_STATUS KvoDevice::ReadResponse(BootloaderResponse& response, uint32_t timeoutMs) {
  Log(LogType::Data, "KvoDevice::ReadResponse ...\n");
  response.fill(0);
  platform::Clock& clock = platform::clock();
  const uint32_t start = clock.tickCount();
  uint32_t lastResult = we::Success;
  for (;;) {
    // A read answered late or never counts against the time-out like the polling does.
    const uint32_t left = TimeLeft(timeoutMs, TicksSince(start, clock.tickCount()));
    lastResult = Read(kResponseAddress, response.data(), response.size(), left);
    if (lastResult == we::Success) {
      const uint32_t key = LoadLe32(response.data() + kWordCommand) & 0xFFFFFF;
      if (key == lastKey_) {
        Log(LogType::Data, "ReadResponse: response (ID = %u) accepted.\n", key & 0xFFFF);
        return KVOFWDL_STATUS_SUCCESS;
      }
      // An answer to an earlier request that came too late: not the one awaited.
      Log(LogType::Info, "ReadResponse: ignore received response of command 0x%02x (ID = %u)\n",
          (key >> 16) & 0xFF, key & 0xFFFF);
    } else if (lastResult == pv::KVO_STATUS_DEVICE_REMOVED) {
      Log(LogType::Error, "ReadResponse: Read failed with KVO_STATUS = 0x%08X\n", lastResult);
      return KVOFWDL_STATUS_DEVICE_READ_FAILED;
    }
    if (TicksSince(start, clock.tickCount()) >= timeoutMs) break;
    clock.sleep(kPollIntervalMs);
  }
  const uint32_t code = (lastKey_ >> 16) & 0xFF;
  Log(LogType::Error,
      "ReadResponse: Read with command 0x%02x failed with timeout for given timeout period of %u "
      "ms.\nLast result of periodic calls to Read was 0x%08X\n",
      code, timeoutMs, lastResult);
  const RequestKind* kind = FindRequestKind(code);
  if (kind == nullptr) {
    Log(LogType::Error, "ReadResponse: no timeout error code for command code 0x%02x\n", code);
    return KVOFWDL_STATUS_DEVICE_READ_FAILED;
  }
  return kind->timeoutStatus;
}

KVOFWDL_STATUS KvoDevice::WriteRequestData(const uint8_t* data, uint32_t size) {
  Log(LogType::Data, "KvoDevice::WriteRequestData ...\n");
  // Block data only ever goes with a block request: its time-out bounds the write.
  const uint32_t result = Write(kRequestDataAddress, data, size, Timeout(TIMEOUT_DOWNLOAD_BLOCK));
  if (result != we::Success) {
    Log(LogType::Error,
        "WriteRequestData: Write data failed with error 0x%08X. Address 0x%012llX, %u bytes.\n",
        result, static_cast<unsigned long long>(kRequestDataAddress), size);
    return KVOFWDL_STATUS_DEVICE_WRITE_FAILED;
  }
  return KVOFWDL_STATUS_SUCCESS;
}

KVOFWDL_STATUS KvoDevice::RequestReset(uint32_t resetType) {
  BootloaderRequest request{};
  PutWord(request, kFirstPayloadWord, resetType);
  return WriteRequest(REQ_RESET, request);
}

KVOFWDL_STATUS KvoDevice::RequestDownloadBlock(uint32_t sequenceNumber, uint32_t address,
                                               uint32_t size) {
  BootloaderRequest request{};
  PutWord(request, kFirstPayloadWord, sequenceNumber);
  PutWord(request, kFirstPayloadWord + 4, address);
  PutWord(request, kFirstPayloadWord + 8, size);
  return WriteRequest(REQ_DOWNLOAD_BLOCK, request);
}

KVOFWDL_STATUS KvoDevice::RequestDownloadEnd() {
  BootloaderRequest request{};
  return WriteRequest(REQ_DOWNLOAD_END, request);
}

KVOFWDL_STATUS KvoDevice::GetResetGenCount(uint32_t& count) {
  Log(LogType::Data, "KvoDevice::GetResetGenCount ...\n");
  count = 0;
  std::array<uint8_t, pv::kGenerationCountSize> reply{};
  const uint32_t result = QueryDriver(pv::IOCTL_VHPD_GET_RESET_GENERATION_COUNT, reply);
  if (result != we::Success) {
    Log(LogType::Error,
        "GetResetGenCount: GetResetGenerationCount failed with VHPD_STATUS 0x%08X.\n", result);
    return KVOFWDL_STATUS_DEVICE_READ_FAILED;
  }
  count = LoadLe32(reply.data());
  return KVOFWDL_STATUS_SUCCESS;
}

}  // namespace fwdl
