#include "platform/process.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "platform/win_error.h"

extern char** environ;

namespace platform {

namespace {

uint32_t fromErrno(int error) {
  switch (error) {
    case 0:
      return win_error::Success;
    case ENOENT:
      return win_error::FileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
      return win_error::PathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
      return win_error::AccessDenied;
    case ENOEXEC:
      return win_error::BadExeFormat;
    case ENOMEM:
    case EAGAIN:
      return win_error::NotEnoughMemory;
    default:
      return win_error::GenFailure;
  }
}

// Spawns and leaves a thread to wait for the child, so it never lingers as a zombie. Waiting
// for that one pid leaves every other child of the process to whoever started it.
uint32_t spawn(const std::string& program, const std::vector<std::string>& args, bool search) {
  std::vector<char*> argv;
  argv.reserve(args.size() + 2);
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);

  // Like a Windows process, the child starts clean and on its own: default signal handling,
  // nothing blocked, its own session so closing our terminal does not take it down.
  posix_spawnattr_t attributes;
  if (posix_spawnattr_init(&attributes) != 0) return win_error::NotEnoughMemory;
  sigset_t signals;
  sigemptyset(&signals);
  posix_spawnattr_setsigmask(&attributes, &signals);
  sigfillset(&signals);
  posix_spawnattr_setsigdefault(&attributes, &signals);
  posix_spawnattr_setflags(&attributes,
                           POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSID);

  pid_t child = 0;
  const int error =
      search ? posix_spawnp(&child, program.c_str(), nullptr, &attributes, argv.data(), environ)
             : posix_spawn(&child, program.c_str(), nullptr, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  if (error != 0) return fromErrno(error);
  std::thread([child] {
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return win_error::Success;
}

}  // namespace

uint32_t startProgram(const std::string& path, const std::vector<std::string>& args) {
  if (path.empty()) return win_error::FileNotFound;
  return spawn(path, args, false);
}

uint32_t openWebAddress(const std::string& url) {
  if (url.empty() || url.front() == '-') return win_error::InvalidParameter;
  return spawn("xdg-open", {url}, true);
}

}  // namespace platform
