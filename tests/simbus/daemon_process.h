// A velmora-simbus daemon of a test's own, in a scratch folder with its own socket, state
// folder and log; and running the velmora-simbus command with captured output.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace simbus::test {

// The velmora-simbus program beside the test program.
std::string simbusProgram();

struct CommandResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// Runs velmora-simbus with `args` and waits for it (at most 10 s, then it is killed).
CommandResult runSimbus(const std::vector<std::string>& args);

class DaemonProcess {
 public:
  // Socket, state and log live in `folder`.
  explicit DaemonProcess(const std::string& folder);
  ~DaemonProcess();  // terminates a daemon still running

  // Starts `velmora-simbus serve` with `extraArgs` and waits until it reports readiness.
  // False when it exits instead (its log says why).
  bool start(const std::vector<std::string>& extraArgs = {});
  // SIGTERM, then waits (bounded) for the exit; the exit code, or -1.
  int terminate();
  // Waits (bounded) for a daemon that exits on its own; the exit code, or -1.
  int waitForExit();

  const std::string& socketPath() const { return socketPath_; }
  const std::string& stateFolder() const { return stateFolder_; }
  std::string log() const;

 private:
  std::string socketPath_;
  std::string stateFolder_;
  std::string logPath_;
  pid_t pid_ = -1;
  int lifeline_ = -1;  // read end of a pipe the daemon holds open until it exits
};

}  // namespace simbus::test
