#include "platform/paths.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <mutex>
#include <vector>

namespace platform {

namespace {

std::string withoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// An environment variable naming a folder; relative values are ignored, as XDG asks.
std::string folderFromEnvironment(const char* variable) {
  const char* value = std::getenv(variable);
  if (value == nullptr || value[0] != '/') return {};
  return withoutTrailingSlashes(value);
}

std::string homeFolder() {
  std::string home = folderFromEnvironment("HOME");
  if (!home.empty()) return home;
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
      found == nullptr || found->pw_dir == nullptr || found->pw_dir[0] != '/') {
    return {};
  }
  return withoutTrailingSlashes(found->pw_dir);
}

// Creates `path` and any missing parents with owner-only access.
bool makeFolders(const std::string& path) {
  for (size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
    const std::string prefix = path.substr(0, end);
    if (mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (end == std::string::npos) break;
  }
  struct stat status {};
  return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// True when `path` is a real directory of ours that nobody else can write to; its mode is
// tightened to 0700 so nobody else can look in either. Symlinks are not followed: a link
// planted under a shared parent must not redirect us.
bool claimPrivateFolder(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat status {};
  bool ours = fstat(fd, &status) == 0 && S_ISDIR(status.st_mode) && status.st_uid == geteuid() &&
              (status.st_mode & (S_IWGRP | S_IWOTH)) == 0;
  if (ours && (status.st_mode & 07777) != 0700) ours = fchmod(fd, 0700) == 0;
  close(fd);
  return ours;
}

std::string fallbackTempFolder() {
  // Remembered so that a refused shared name costs one fresh folder per process, not one per
  // call.
  static std::mutex mutex;
  static std::string remembered;
  std::lock_guard lock(mutex);
  if (remembered.empty() || !claimPrivateFolder(remembered)) {
    remembered = privateFolder("/tmp", "velmora-" + std::to_string(geteuid()));
  }
  return remembered;
}

}  // namespace

std::string tempFolder() {
  for (const char* variable : {"TMPDIR", "XDG_RUNTIME_DIR"}) {
    std::string folder = folderFromEnvironment(variable);
    if (!folder.empty()) return folder;
  }
  return fallbackTempFolder();
}

std::string appDataFolder() {
  std::string folder = folderFromEnvironment("XDG_DATA_HOME");
  if (folder.empty()) {
    const std::string home = homeFolder();
    if (home.empty()) return {};
    folder = joinPath(home, ".local/share");
  }
  return makeFolders(folder) ? folder : std::string{};
}

std::string executablePath() {
  std::vector<char> buffer(PATH_MAX);
  for (;;) {
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) return {};
    if (static_cast<size_t>(length) < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

std::string modulePathOf(const void* address) {
  Dl_info info{};
  link_map* module = nullptr;
  if (dladdr1(address, &info, reinterpret_cast<void**>(&module), RTLD_DL_LINKMAP) == 0 ||
      module == nullptr || module->l_name == nullptr) {
    return {};
  }
  // The program itself is the module with no name in the loader's list.
  if (module->l_name[0] == '\0') return executablePath();
  char* resolved = realpath(module->l_name, nullptr);
  if (resolved == nullptr) return module->l_name;
  std::string path(resolved);
  std::free(resolved);
  return path;
}

std::string privateFolder(const std::string& parent, const std::string& name) {
  if (parent.empty() || name.empty() || name.find('/') != std::string::npos) return {};
  const std::string path = joinPath(parent, name);
  if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return {};
  if (claimPrivateFolder(path)) return path;
  std::string pattern = path + "-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) return {};
  return pattern;
}

std::string replaceExtension(std::string_view path, std::string_view extension) {
  const size_t slash = path.rfind('/');
  const size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
  const size_t dot = path.rfind('.');
  // A leading dot names a hidden file; it does not start an extension.
  const std::string_view stem =
      dot != std::string_view::npos && dot > nameStart ? path.substr(0, dot) : path;
  if (!extension.empty() && extension.front() == '.') extension.remove_prefix(1);
  std::string result(stem);
  if (!extension.empty()) result.append(".").append(extension);
  return result;
}

std::string joinPath(std::string_view folder, std::string_view name) {
  if (name.empty()) return std::string(folder);
  if (folder.empty() || name.front() == '/') return std::string(name);
  std::string result(folder);
  if (result.back() != '/') result.push_back('/');
  result.append(name);
  return result;
}

}  // namespace platform
