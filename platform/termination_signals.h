// Holding off the requests to end the program while something must not be cut short, such as
// firmware being written to a unit: SIGTERM and SIGINT on POSIX, Ctrl+C and Ctrl+Break at a
// Windows console (SetConsoleCtrlHandler). Logoff and shutdown of a Windows session are the
// window's own business (WM_QUERYENDSESSION, ShutdownBlockReasonCreate).
#pragma once

#include <string>

namespace platform {

// While the object lives, a request to end the program is noted and `notice` is written to
// standard error (once, when the first request arrives); the program goes on. When the object
// ends, the handling from before it comes back and a noted request is acted on as if it had
// just arrived: with the default handling, the program ends there, its buffered output
// flushed first. (On Windows a noted Ctrl+C ends the program with Ctrl+C's exit code.) One holds at
// a time; an object made while another holds does nothing.
class DeferTerminationSignals {
 public:
  explicit DeferTerminationSignals(const std::string& notice);
  ~DeferTerminationSignals();
  DeferTerminationSignals(const DeferTerminationSignals&) = delete;
  DeferTerminationSignals& operator=(const DeferTerminationSignals&) = delete;

  // Whether this object holds the requests off.
  bool holding() const { return holding_; }
  // The request noted so far: its signal number (SIGTERM, SIGINT; SIGBREAK for Ctrl+Break on
  // Windows), or 0.
  int deferredSignal() const;
  // Ends the hold now, as the destructor does; later calls do nothing.
  void release();

 private:
  bool holding_ = false;
};

}  // namespace platform
