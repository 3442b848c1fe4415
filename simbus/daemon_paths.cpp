#include "simbus/daemon_paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/paths.h"

namespace simbus {

namespace {

constexpr char kFolderName[] = "velmora-simbus";
constexpr char kSocketName[] = "socket";

// An environment variable naming a folder; relative values are ignored, as XDG asks.
std::string absoluteFromEnvironment(const char* variable) {
  const char* value = std::getenv(variable);
  if (value == nullptr || value[0] != '/') return {};
  return value;
}

bool setError(std::string* error, std::string text) {
  if (error) *error = std::move(text);
  return false;
}

}  // namespace

std::string defaultSocketPath() {
  const std::string runtime = absoluteFromEnvironment("XDG_RUNTIME_DIR");
  if (!runtime.empty()) {
    return platform::joinPath(platform::joinPath(runtime, kFolderName), kSocketName);
  }
  const std::string temp = platform::tempFolder();
  if (temp.empty()) return {};
  const std::string folder = std::string(kFolderName) + "-" + std::to_string(geteuid());
  return platform::joinPath(platform::joinPath(temp, folder), kSocketName);
}

std::string defaultStateFolder() {
  std::string base = absoluteFromEnvironment("XDG_STATE_HOME");
  if (base.empty()) {
    const std::string home = absoluteFromEnvironment("HOME");
    if (home.empty()) return {};
    base = platform::joinPath(home, ".local/state");
  }
  return platform::joinPath(base, kFolderName);
}

std::string resolveSocketPath(const std::string& explicitPath) {
  if (!explicitPath.empty()) return explicitPath;
  const char* variable = std::getenv("VELMORA_SIMBUS");
  if (variable != nullptr && std::strchr(variable, '/') != nullptr) return variable;
  return defaultSocketPath();
}

std::string parentFolder(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

size_t maxSocketPathLength() {
  return sizeof(sockaddr_un{}.sun_path) - 1;
}

bool makePrivateFolders(const std::string& folder, std::string* error) {
  if (folder.empty()) return setError(error, "no folder given");
  for (size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
    const std::string prefix = folder.substr(0, end);
    if (mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) {
      return setError(error, "cannot create " + prefix + ": " + std::strerror(errno));
    }
    if (end == std::string::npos) break;
  }
  struct stat status {};
  if (stat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) {
    return setError(error, folder + " is not a folder");
  }
  return true;
}

bool prepareSocketFolder(const std::string& socketPath, std::string* error) {
  if (socketPath.empty()) return setError(error, "no socket path");
  if (socketPath.size() > maxSocketPathLength()) {
    return setError(error, "socket path longer than " + std::to_string(maxSocketPathLength()) +
                               " bytes: " + socketPath);
  }
  const std::string folder = parentFolder(socketPath);
  if (!makePrivateFolders(folder, error)) return false;
  // Checked through a descriptor opened without following links, so what is checked is what
  // the socket lands in.
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    return setError(error,
                    "socket folder " + folder + " is not a real folder: " + std::strerror(errno));
  }
  struct stat status {};
  const bool statted = fstat(fd, &status) == 0;
  std::string problem;
  if (!statted || status.st_uid != geteuid()) {
    problem = "is not owned by this user";
  } else if ((status.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
    problem = "is writable by other users";
  } else if (folder == parentFolder(defaultSocketPath()) && (status.st_mode & 07777) != 0700 &&
             fchmod(fd, 0700) != 0) {
    // The default folder is ours alone; a folder chosen with --socket keeps its mode.
    problem = "cannot be made private";
  }
  close(fd);
  if (!problem.empty()) return setError(error, "socket folder " + folder + " " + problem);
  return true;
}

}  // namespace simbus
