#include "daemon_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/paths.h"

namespace simbus::test {

namespace {

// Cross-process waits are real time; this cap only matters when something is broken.
constexpr int kWaitCapMs = 10000;
constexpr int kReadyFd = 3;
constexpr int kLifelineFd = 4;

// Reads `fd` until it closes or the cap passes. True when it closed.
bool drainUntilClosed(int fd, std::string* into) {
  char buffer[4096];
  for (;;) {
    pollfd p{fd, POLLIN, 0};
    const int ready = ::poll(&p, 1, kWaitCapMs);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return false;
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return true;
    if (into) into->append(buffer, static_cast<size_t>(n));
  }
}

int exitCodeOf(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Moves `fd` onto `target` in a child about to exec (clearing close-on-exec).
void placeFd(int fd, int target) {
  if (fd == target) {
    ::fcntl(fd, F_SETFD, 0);
  } else {
    ::dup2(fd, target);
  }
}

}  // namespace

std::string simbusProgram() {
  return platform::joinPath(
      std::filesystem::path(platform::executablePath()).parent_path().string(), "velmora-simbus");
}

CommandResult runSimbus(const std::vector<std::string>& args) {
  CommandResult result;
  int out[2];
  int err[2];
  if (::pipe2(out, O_CLOEXEC) != 0) return result;
  if (::pipe2(err, O_CLOEXEC) != 0) {
    ::close(out[0]);
    ::close(out[1]);
    return result;
  }
  std::vector<std::string> argvStrings{simbusProgram()};
  argvStrings.insert(argvStrings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : argvStrings) argv.push_back(a.data());
  argv.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    placeFd(out[1], 1);
    placeFd(err[1], 2);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(out[1]);
  ::close(err[1]);
  // The outputs are small; reading one after the other cannot fill the other's pipe.
  const bool closed =
      drainUntilClosed(out[0], &result.out) && drainUntilClosed(err[0], &result.err);
  ::close(out[0]);
  ::close(err[0]);
  if (!closed) ::kill(pid, SIGKILL);
  result.exitCode = exitCodeOf(pid);
  return result;
}

DaemonProcess::DaemonProcess(const std::string& folder)
    : socketPath_(platform::joinPath(folder, "run/socket")),
      stateFolder_(platform::joinPath(folder, "state")),
      logPath_(platform::joinPath(folder, "daemon.log")) {}

DaemonProcess::~DaemonProcess() {
  if (pid_ > 0) terminate();
}

bool DaemonProcess::start(const std::vector<std::string>& extraArgs) {
  int ready[2];
  int lifeline[2];
  if (::pipe2(ready, O_CLOEXEC) != 0 || ::pipe2(lifeline, O_CLOEXEC) != 0) return false;
  const int log = ::open(logPath_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
  std::vector<std::string> argvStrings{
      simbusProgram(), "serve",      "--socket",   socketPath_,
      "--state",       stateFolder_, "--ready-fd", std::to_string(kReadyFd)};
  argvStrings.insert(argvStrings.end(), extraArgs.begin(), extraArgs.end());
  std::vector<char*> argv;
  for (std::string& a : argvStrings) argv.push_back(a.data());
  argv.push_back(nullptr);
  // Above the descriptors the child fills in, so no dup2 overwrites a source still needed.
  const int readyHigh = ::fcntl(ready[1], F_DUPFD_CLOEXEC, 10);
  const int lifelineHigh = ::fcntl(lifeline[1], F_DUPFD_CLOEXEC, 10);
  const int logHigh = ::fcntl(log, F_DUPFD_CLOEXEC, 10);
  pid_ = ::fork();
  if (pid_ == 0) {
    placeFd(logHigh, 2);
    placeFd(readyHigh, kReadyFd);
    placeFd(lifelineHigh, kLifelineFd);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  for (int fd : {ready[1], lifeline[1], log, readyHigh, lifelineHigh, logHigh}) ::close(fd);
  lifeline_ = lifeline[0];
  std::string said;
  drainUntilClosed(ready[0], &said);
  ::close(ready[0]);
  if (said == "ready\n") return true;
  waitForExit();
  return false;
}

int DaemonProcess::terminate() {
  if (pid_ <= 0) return -1;
  ::kill(pid_, SIGTERM);
  return waitForExit();
}

int DaemonProcess::waitForExit() {
  if (pid_ <= 0) return -1;
  if (!drainUntilClosed(lifeline_, nullptr)) ::kill(pid_, SIGKILL);
  ::close(lifeline_);
  lifeline_ = -1;
  const int code = exitCodeOf(pid_);
  pid_ = -1;
  return code;
}

std::string DaemonProcess::log() const {
  std::ifstream in(logPath_);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace simbus::test
