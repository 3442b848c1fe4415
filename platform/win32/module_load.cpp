#include "platform/module_load.h"

#include <cstring>
#include <string>

#include "platform/win32/windows_api.h"

namespace platform {

namespace {

// The file name part of the module that holds `address`, or empty.
std::string moduleFileName(const void* address) {
  HMODULE module = nullptr;
  if (!GetModuleHandleExA(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          static_cast<LPCSTR>(address), &module)) {
    return {};
  }
  char path[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  const char* name = std::strrchr(path, '\\');
  return name ? name + 1 : path;
}

}  // namespace

// A module is loaded with the program exactly when the program's import table names it: the
// loader resolves those before the program starts; anything else came from LoadLibrary.
bool moduleLoadedWithProgram(const void* exportedFunction, const char* /*name*/) {
  const std::string wanted = moduleFileName(exportedFunction);
  if (wanted.empty()) return false;
  const auto* base = reinterpret_cast<const uint8_t*>(GetModuleHandleA(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  if (dos->e_magic != IMAGE_DOS_SIGNATURE) return false;
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0) return false;
  for (const auto* entry =
           reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
       entry->Name != 0; ++entry) {
    if (lstrcmpiA(reinterpret_cast<const char*>(base + entry->Name), wanted.c_str()) == 0) {
      return true;
    }
  }
  return false;
}

}  // namespace platform
