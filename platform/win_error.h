// The Windows error codes that results pass through unchanged (GetLastError values). The
// names follow the Windows ones without their ERROR_ prefix, which windows.h defines as macros.
#pragma once

#include <cstdint>

namespace platform::win_error {

inline constexpr uint32_t Success = 0;
inline constexpr uint32_t InvalidFunction = 1;  // request the device does not know
inline constexpr uint32_t FileNotFound = 2;     // no such device path or key
inline constexpr uint32_t PathNotFound = 3;
inline constexpr uint32_t AccessDenied = 5;
inline constexpr uint32_t InvalidHandle = 6;  // handle closed or never opened
inline constexpr uint32_t NotEnoughMemory = 8;
inline constexpr uint32_t GenFailure = 31;           // device did not answer sensibly
inline constexpr uint32_t NotSupported = 50;         // transaction kind the unit refuses
inline constexpr uint32_t InvalidParameter = 87;     // malformed input record
inline constexpr uint32_t InsufficientBuffer = 122;  // output buffer too small
inline constexpr uint32_t Busy = 170;                // held by someone else (a lock)
inline constexpr uint32_t BadExeFormat = 193;        // file is not a program
inline constexpr uint32_t WaitTimeout = 258;         // a bounded wait expired
inline constexpr uint32_t NoMoreItems = 259;         // enumeration index past the end
inline constexpr uint32_t InvalidAddress = 487;      // 1394 address the unit does not map
inline constexpr uint32_t OperationAborted = 995;    // cancelled I/O request
inline constexpr uint32_t IoIncomplete = 996;
inline constexpr uint32_t IoPending = 997;  // overlapped request still running
inline constexpr uint32_t DeviceNotConnected = 1167;
inline constexpr uint32_t NotFound = 1168;
inline constexpr uint32_t Cancelled = 1223;  // the user turned down a request (an elevation)

}  // namespace platform::win_error
