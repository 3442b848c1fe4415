#include "simbus/daemon_launcher.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/clock.h"
#include "platform/paths.h"
#include "simbus/daemon_paths.h"
#include "simbus/unix_socket.h"

namespace simbus {

namespace {

constexpr char kProgramName[] = "velmora-simbus";
constexpr char kLogName[] = "daemon.log";
constexpr int kReadyFd = 3;
constexpr int kStartTimeoutMs = 5000;
constexpr uint32_t kRetryPauseMs = 50;

bool setError(std::string* error, std::string text) {
  if (error) *error = std::move(text);
  return false;
}

// A close-on-exec copy of `fd` above the standard descriptors, so that the child's dup2 calls
// onto 0-3 never overwrite a source they still need.
UniqueFd highCopy(int fd) {
  return UniqueFd(fcntl(fd, F_DUPFD_CLOEXEC, 10));
}

// Waits (real time: the daemon is another process) until the daemon reports readiness or
// closes the pipe. True when it said "ready".
bool waitForReadiness(int readyFd) {
  std::string said;
  for (;;) {
    pollfd p{readyFd, POLLIN, 0};
    const int ready = ::poll(&p, 1, kStartTimeoutMs);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return false;
    char buffer[16];
    const ssize_t n = ::read(readyFd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return said.starts_with("ready");
    said.append(buffer, static_cast<size_t>(n));
    if (said.starts_with("ready")) return true;
  }
}

// Tries to connect until it works or about kStartTimeoutMs have passed on the process clock.
bool connectsWithinBound(const std::string& socketPath) {
  platform::Clock& clock = platform::clock();
  const uint32_t start = clock.tickCount();
  for (;;) {
    if (connectUnixSocket(socketPath).fd.valid()) return true;
    if (platform::ticksElapsed(start, clock.tickCount()) >= kStartTimeoutMs) return false;
    clock.sleep(kRetryPauseMs);
  }
}

}  // namespace

std::string daemonProgramPath() {
  const std::string self = platform::executablePath();
  if (self.empty()) return {};
  return platform::joinPath(parentFolder(self), kProgramName);
}

bool startDaemon(const std::string& socketPath, std::string* error) {
  if (!prepareSocketFolder(socketPath, error)) return false;
  const std::string program = daemonProgramPath();
  if (program.empty() || ::access(program.c_str(), X_OK) != 0) {
    return setError(error, "cannot start the simulated bus: no program " + program);
  }
  const std::string logPath = platform::joinPath(parentFolder(socketPath), kLogName);
  UniqueFd log(::open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600));
  UniqueFd nothing(::open("/dev/null", O_RDONLY | O_CLOEXEC));
  int pipeFds[2];
  if (!log.valid() || !nothing.valid() || ::pipe2(pipeFds, O_CLOEXEC) != 0) {
    return setError(error, "cannot start the simulated bus: " + std::string(std::strerror(errno)));
  }
  UniqueFd readyRead(pipeFds[0]);
  UniqueFd readyWrite(pipeFds[1]);
  const UniqueFd childIn = highCopy(nothing.get());
  const UniqueFd childOut = highCopy(log.get());
  UniqueFd childReady = highCopy(readyWrite.get());
  readyWrite.reset();
  if (!childIn.valid() || !childOut.valid() || !childReady.valid()) {
    return setError(error, "cannot start the simulated bus: " + std::string(std::strerror(errno)));
  }

  // Everything the child needs is built before fork: only async-signal-safe calls follow.
  std::vector<std::string> args{program,    "serve",      "--socket",
                                socketPath, "--ready-fd", std::to_string(kReadyFd)};
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);

  const pid_t child = ::fork();
  if (child < 0) {
    return setError(error, "cannot start the simulated bus: " + std::string(std::strerror(errno)));
  }
  if (child == 0) {
    // A second fork leaves the daemon to init, so it is nobody's zombie and outlives us.
    if (::setsid() < 0) ::_exit(127);
    const pid_t daemon = ::fork();
    if (daemon != 0) ::_exit(daemon < 0 ? 127 : 0);
    if (::dup2(childIn.get(), 0) < 0 || ::dup2(childOut.get(), 1) < 0 ||
        ::dup2(childOut.get(), 2) < 0 || ::dup2(childReady.get(), kReadyFd) < 0) {
      ::_exit(127);
    }
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  // Only the daemon may hold the write end now, so the pipe closes when it exits.
  childReady.reset();
  waitForReadiness(readyRead.get());
  // Not ready need not mean failure: another client may have started a daemon just before.
  if (connectsWithinBound(socketPath)) return true;
  return setError(error,
                  "the simulated bus did not start at " + socketPath + " (see " + logPath + ")");
}

}  // namespace simbus
