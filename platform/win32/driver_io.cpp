#include <limits>

#include "platform/win32/vhpd_driver.h"

namespace platform::vhpd::win32 {

namespace {

DWORD byteCount(size_t size) {
  return static_cast<DWORD>(std::min<size_t>(size, std::numeric_limits<DWORD>::max()));
}

// One overlapped request with its own event. Destroying it before completion cancels it and
// waits, so the driver never writes into a released buffer.
class OverlappedIo final : public PendingIo {
 public:
  OverlappedIo(HANDLE device, HANDLE event) : device_(device) { overlapped_.hEvent = event; }
  ~OverlappedIo() override {
    if (!done_) {
      CancelIoEx(device_, &overlapped_);
      DWORD ignored = 0;
      GetOverlappedResult(device_, &overlapped_, &ignored, TRUE);
    }
    CloseHandle(overlapped_.hEvent);
  }

  OVERLAPPED* overlapped() { return &overlapped_; }

  bool poll() override {
    if (done_) return true;
    if (WaitForSingleObject(overlapped_.hEvent, 0) != WAIT_OBJECT_0) return false;
    DWORD got = 0;
    result_.error = GetOverlappedResult(device_, &overlapped_, &got, FALSE)
                        ? win_error::Success
                        : fromLastError(GetLastError());
    result_.bytesReturned = got;
    done_ = true;
    return true;
  }

  IoResult result() const override { return result_; }

  // The call finished without going pending: nothing is left to wait for.
  void settle(IoResult result) {
    result_ = result;
    done_ = true;
  }

  void cancel() override {
    if (!done_) CancelIoEx(device_, &overlapped_);
  }

 private:
  HANDLE device_;
  OVERLAPPED overlapped_{};
  bool done_ = false;
  IoResult result_;
};

class Win32Device final : public DeviceHandle {
 public:
  Win32Device(HANDLE device, bool overlapped) : device_(device), overlapped_(overlapped) {}
  ~Win32Device() override { CloseHandle(device_); }

  IoCall ioControl(uint32_t code, std::span<const uint8_t> input,
                   std::span<uint8_t> output) override {
    void* in = input.empty() ? nullptr : const_cast<uint8_t*>(input.data());
    void* out = output.empty() ? nullptr : output.data();
    IoCall call;
    DWORD got = 0;
    if (!overlapped_) {
      const bool ok = DeviceIoControl(device_, code, in, byteCount(input.size()), out,
                                      byteCount(output.size()), &got, nullptr);
      call.immediate = {ok ? win_error::Success : fromLastError(GetLastError()), got};
      return call;
    }
    // Manual reset, so polling the event does not consume the completion.
    const HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (event == nullptr) {
      call.immediate = {fromLastError(GetLastError()), 0};
      return call;
    }
    auto pending = std::make_unique<OverlappedIo>(device_, event);
    if (DeviceIoControl(device_, code, in, byteCount(input.size()), out, byteCount(output.size()),
                        &got, pending->overlapped())) {
      call.immediate = {win_error::Success, got};
      pending->settle(call.immediate);
      return call;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_IO_PENDING) {
      call.pending = std::move(pending);
    } else {
      call.immediate = {fromLastError(error), 0};
      pending->settle(call.immediate);  // nothing is running; only the event is released
    }
    return call;
  }

 private:
  HANDLE device_;
  bool overlapped_;
};

}  // namespace

uint32_t openDevice(const std::string& path, OpenMode mode, std::unique_ptr<DeviceHandle>& handle) {
  handle.reset();
  const bool overlapped = mode == OpenMode::Overlapped;
  const HANDLE device =
      CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, overlapped ? FILE_FLAG_OVERLAPPED : 0, nullptr);
  if (device == INVALID_HANDLE_VALUE) return fromLastError(GetLastError());
  handle = adoptDevice(device, mode);
  return win_error::Success;
}

std::unique_ptr<DeviceHandle> adoptDevice(HANDLE device, OpenMode mode) {
  return std::make_unique<Win32Device>(device, mode == OpenMode::Overlapped);
}

}  // namespace platform::vhpd::win32
