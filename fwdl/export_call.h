// What every export but KVOFWDL_GetVersion does around its work: it holds the API lock for the
// whole call, and nothing thrown inside (out of memory, say) reaches the caller.
#pragma once

#include <cstdint>
#include <mutex>

#include "fwdl/include/dun_fwdl.h"

namespace fwdl {

// Serialises the exports, so callers may use the library from several threads.
std::mutex& ApiLock();

// Logs that `function` ended on an unexpected exception; never throws.
void LogUnexpectedFailure(const char* function) noexcept;

template <typename Body>
[[nodiscard]] KVOFWDL_STATUS RunExport(const char* function, Body&& body) noexcept {
  try {
    std::lock_guard lock(ApiLock());
    return body();
  } catch (...) {
    LogUnexpectedFailure(function);
    return KVOFWDL_STATUS_FAILED;
  }
}

// The text of a string argument in an "enter" entry; "(null)" for a null pointer.
inline const char* Printable(const char* text) {
  return text != nullptr ? text : "(null)";
}

// A pointer argument as the 32-bit number an "enter" entry shows.
inline unsigned PointerBits(const void* pointer) {
  return static_cast<unsigned>(reinterpret_cast<uintptr_t>(pointer));
}

// True (after the ERROR entry naming the parameter) when `pointer` is null.
bool IsNullParameter(const void* pointer, const char* function, const char* parameter);

}  // namespace fwdl
