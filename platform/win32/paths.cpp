#include "platform/paths.h"

#include "platform/win32/windows_api.h"  // before the other Windows headers

#include <shlobj.h>

#include <vector>

#include "platform/win32/owner_only_security.h"

namespace platform {

namespace {

bool isSeparator(char c) {
  return c == '\\' || c == '/';
}

// "C:\" keeps its separator; every other folder loses its trailing ones.
std::string withoutTrailingSeparators(std::string path) {
  while (path.size() > 3 && isSeparator(path.back())) path.pop_back();
  return path;
}

bool isAbsolute(std::string_view path) {
  return (path.size() >= 3 && path[1] == ':' && isSeparator(path[2])) ||
         (!path.empty() && isSeparator(path.front()));
}

std::string modulePath(HMODULE module) {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        GetModuleFileNameA(module, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace

std::string tempFolder() {
  char buffer[MAX_PATH + 2] = {};
  const DWORD length = GetTempPathA(sizeof buffer, buffer);
  if (length == 0 || length >= sizeof buffer) return {};
  return withoutTrailingSeparators(std::string(buffer, length));
}

std::string appDataFolder() {
  char buffer[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathA(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr,
                              SHGFP_TYPE_CURRENT, buffer))) {
    return {};
  }
  return withoutTrailingSeparators(buffer);
}

std::string executablePath() {
  return modulePath(nullptr);
}

std::string modulePathOf(const void* address) {
  HMODULE module = nullptr;
  if (!GetModuleHandleExA(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          static_cast<LPCSTR>(address), &module)) {
    return {};
  }
  return modulePath(module);
}

std::string privateFolder(const std::string& parent, const std::string& name) {
  if (parent.empty() || name.empty() || name.find_first_of("\\/") != std::string::npos) {
    return {};
  }
  const std::string path = joinPath(parent, name);
  win32::OwnerOnlySecurity security;
  if (CreateDirectoryA(path.c_str(), security.attributes())) return path;
  // Under the per-user folders Windows gives us, an existing entry of this name is ours; it is
  // used when it is a real folder, not a link planted to redirect us.
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
      !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    return path;
  }
  return {};
}

std::string replaceExtension(std::string_view path, std::string_view extension) {
  const size_t separator = path.find_last_of("\\/");
  const size_t nameStart = separator == std::string_view::npos ? 0 : separator + 1;
  const size_t dot = path.rfind('.');
  const std::string_view stem =
      dot != std::string_view::npos && dot > nameStart ? path.substr(0, dot) : path;
  if (!extension.empty() && extension.front() == '.') extension.remove_prefix(1);
  std::string result(stem);
  if (!extension.empty()) result.append(".").append(extension);
  return result;
}

std::string joinPath(std::string_view folder, std::string_view name) {
  if (name.empty()) return std::string(folder);
  if (folder.empty() || isAbsolute(name)) return std::string(name);
  std::string result(folder);
  if (!isSeparator(result.back())) result.push_back('\\');
  result.append(name);
  return result;
}

}  // namespace platform
