// The worker of the desktop: each job's steps run on a thread of its own;
// the owner of the event loop calls poll() on the user-interface thread
// while the worker is busy, and poll delivers the ticks and the finish.
// The thread is made with the first job and then waits for the next one,
// so that starting a job costs the window no thread creation.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/worker.h"

namespace pelisto {

class ThreadWorker final : public Worker {
 public:
  static constexpr std::chrono::milliseconds kTickInterval{100};

  ThreadWorker() = default;
  // Cancels a running job and ends the thread.
  ~ThreadWorker() override;

  // Called by start on the user-interface thread once the job is handed
  // to the thread: the backend begins calling poll() then (and stops once
  // the worker is no longer busy, so that an idle program does not poll).
  void setStartHook(JobCall hook) { m_startHook = std::move(hook); }

  void start(JobStep step, JobCall tick, JobCall finished) override;
  void cancel() override;
  bool busy() const override { return m_busy; }

  // On the user-interface thread: runs tick when one is due and, once the
  // last step has returned, runs finished.
  void poll();

 private:
  void run();
  void release();

  std::thread m_thread;
  std::mutex m_mutex;
  std::condition_variable m_changed;
  JobStep m_next;         // handed over, not yet taken by the thread
  bool m_inJob = false;   // the thread is running a job's steps
  bool m_quit = false;
  std::atomic<bool> m_stop{false};
  std::atomic<bool> m_done{false};
  JobCall m_tick;
  JobCall m_finished;
  JobCall m_startHook;
  bool m_busy = false;
  bool m_polling = false;
  std::chrono::steady_clock::time_point m_nextTick;
};

}  // namespace pelisto
