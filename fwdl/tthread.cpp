#include "fwdl/tthread.h"

#include <future>
#include <system_error>

#include "fwdl/logging/library_log.h"
#include "fwdl/logging/log_line.h"

namespace Drvkit {

using fwdl::Log;
using fwdl::LogType;

TThread::~TThread() {
  WaitForThread();
}

void TThread::WaitForThread() {
  if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

KVOFWDL_STATUS TThread::Start() {
  if (running_.load()) {
    Log(LogType::Error, "Start: thread is already running\n");
    return KVOFWDL_STATUS_FAILED;
  }
  Log(LogType::Info, "Start: starting new thread ...\n");
  WaitForThread();  // the previous job's thread has ended; release it
  stopRequested_.store(false);
  running_.store(true);
  std::promise<uint32_t> started;
  std::future<uint32_t> threadId = started.get_future();
  try {
    thread_ = std::thread([this, &started] {
      started.set_value(fwdl::CurrentThreadId());
      try {
        ThreadRoutine();
      } catch (...) {
        // A routine that lets something escape must not end the host program.
        Log(LogType::Error, "Run_ThreadRoutine: unexpected exception\n");
      }
      running_.store(false);
    });
  } catch (const std::system_error& e) {
    running_.store(false);
    Log(LogType::Error, "Start: _beginthreadex failed with errno = 0x%08X.\n",
        static_cast<unsigned>(e.code().value()));
    return KVOFWDL_STATUS_FAILED;
  }
  Log(LogType::Info, "Start: thread with thread ID 0x%X started.\n", threadId.get());
  return KVOFWDL_STATUS_SUCCESS;
}

void TThread::Stop() {
  if (!running_.load()) {
    Log(LogType::Error, "Stop: no running thread to stop.\n");
    return;
  }
  Log(LogType::Info, "Stop: stopping thread...\n");
  stopRequested_.store(true);
  WaitForThread();
  Log(LogType::Info, "Stop: thread stopped.\n");
}

bool TThread::IsRunning() const {
  return running_.load();
}

}  // namespace Drvkit
