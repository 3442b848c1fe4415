// A worker thread with a stop request: started once per job, it runs ThreadRoutine and is no
// longer running as soon as that has returned.
//
// TThread (namespace Drvkit): a worker thread with a stop request; the base of Downloader.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

#include "fwdl/include/dun_fwdl.h"

namespace Drvkit {

class TThread {
 public:
  TThread() = default;
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;
  // Virtual operations in slot order.
  virtual ~TThread();
  // 0, or 1 when a thread runs already or none could be made.
  [[nodiscard]] virtual KVOFWDL_STATUS Start();
  // Asks the thread to stop and waits for it without limit.
  virtual void Stop();
  virtual bool IsRunning() const;
  virtual void ThreadRoutine() = 0;

 protected:
  // Waits for a thread that ended or is about to; for destructors of classes whose
  // ThreadRoutine the thread may still be running.
  void WaitForThread();
  bool StopRequested() const { return stopRequested_.load(); }

 private:
  std::thread thread_;
  std::atomic<bool> running_{false};
  std::atomic<bool> stopRequested_{false};
};

}  // namespace Drvkit
