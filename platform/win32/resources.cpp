#include "platform/resources.h"

#include "platform/win32/windows_api.h"

#include <psapi.h>

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

#include "platform/win32/windows_api.h"

namespace platform {

namespace {

// The modules loaded in the process, the program first.
std::vector<HMODULE> loadedModules() {
  std::vector<HMODULE> modules(64);
  DWORD needed = 0;
  for (;;) {
    const DWORD bytes = static_cast<DWORD>(modules.size() * sizeof(HMODULE));
    if (!EnumProcessModules(GetCurrentProcess(), modules.data(), bytes, &needed)) {
      return {GetModuleHandleA(nullptr)};
    }
    if (needed <= bytes) break;
    modules.resize(needed / sizeof(HMODULE));
  }
  modules.resize(needed / sizeof(HMODULE));
  return modules;
}

// The resource compiler aligns data to 8 bytes and ends it where it ends; what callers are
// promised is 16-byte alignment and a zero byte after the data. So each resource is copied
// once into a buffer that keeps both, and the copy stays for the life of the process, as a
// module's resources stay while it is loaded.
struct AlignedDelete {
  void operator()(uint8_t* data) const { ::operator delete[](data, std::align_val_t{16}); }
};

std::span<const uint8_t> alignedCopy(const void* data, DWORD size) {
  static std::mutex mutex;
  static std::map<const void*, std::unique_ptr<uint8_t[], AlignedDelete>> copies;
  std::lock_guard lock(mutex);
  auto& copy = copies[data];
  if (!copy) {
    copy.reset(static_cast<uint8_t*>(::operator new[](size + 1, std::align_val_t{16})));
    std::memcpy(copy.get(), data, size);
    copy[size] = 0;
  }
  return {copy.get(), size};
}

}  // namespace

// FindResource reads "#105" as the numeric id 105, and compares names without regard to case.
std::optional<std::span<const uint8_t>> findResource(std::string_view type, std::string_view name) {
  const std::string typeText(type);
  const std::string nameText(name);
  for (HMODULE module : loadedModules()) {
    HRSRC found = FindResourceA(module, nameText.c_str(), typeText.c_str());
    if (found == nullptr) continue;
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (data == nullptr) continue;
    return alignedCopy(data, SizeofResource(module, found));
  }
  return std::nullopt;
}

std::optional<std::span<const uint8_t>> findResource(std::string_view type, uint16_t id) {
  return findResource(type, "#" + std::to_string(id));
}

}  // namespace platform
