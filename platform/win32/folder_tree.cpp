#include "platform/folder_tree.h"

#include <random>

#include "platform/paths.h"
#include "platform/win32/owner_only_security.h"
#include "platform/win32/windows_api.h"

namespace platform {

namespace {

bool isLinkOrJunction(DWORD attributes) {
  return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool emptyFolder(const std::string& folder) {
  WIN32_FIND_DATAA entry{};
  const HANDLE find = FindFirstFileA(joinPath(folder, "*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
  bool ok = true;
  do {
    const std::string name = entry.cFileName;
    if (name == "." || name == "..") continue;
    const std::string path = joinPath(folder, name);
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_READONLY) {
      SetFileAttributesA(path.c_str(), entry.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY);
    }
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      // A junction or folder link goes as the link; what it points to stays.
      ok = (isLinkOrJunction(entry.dwFileAttributes) || emptyFolder(path)) &&
           RemoveDirectoryA(path.c_str());
    } else {
      ok = DeleteFileA(path.c_str());
    }
  } while (ok && FindNextFileA(find, &entry));
  FindClose(find);
  return ok;
}

}  // namespace

std::string uniquePrivateFolder(const std::string& parent, const std::string& prefix) {
  if (parent.empty() || prefix.empty() || prefix.find_first_of("\\/") != std::string::npos) {
    return {};
  }
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device seed;
  std::mt19937 random(seed() ^ GetTickCount() ^ GetCurrentProcessId());
  std::uniform_int_distribution<size_t> pick(0, sizeof kLetters - 2);
  win32::OwnerOnlySecurity security;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = prefix + "-";
    for (int i = 0; i < 6; ++i) name.push_back(kLetters[pick(random)]);
    const std::string path = joinPath(parent, name);
    // CreateDirectory fails on any existing entry, so a name is never reused.
    if (CreateDirectoryA(path.c_str(), security.attributes())) return path;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return {};
  }
  return {};
}

bool removeFolderTree(const std::string& folder) {
  if (folder.empty()) return false;
  const DWORD attributes = GetFileAttributesA(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
      isLinkOrJunction(attributes)) {
    return false;
  }
  if (attributes & FILE_ATTRIBUTE_READONLY) {
    SetFileAttributesA(folder.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  }
  return emptyFolder(folder) && RemoveDirectoryA(folder.c_str());
}

uint32_t currentProcessId() {
  return GetCurrentProcessId();
}

}  // namespace platform
