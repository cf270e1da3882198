// The worker of the desktop: the steps of every job run on a thread of
// their own, one step of each job in turn; the owner of the event loop
// calls poll() on the user-interface thread while the worker is busy, and
// poll delivers the ticks and the finishes. The thread is made with the
// first job and then waits for the next one, so that starting a job costs
// the window no thread creation.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "platform/worker.h"

namespace pelisto {

class ThreadWorker final : public Worker {
 public:
  static constexpr std::chrono::milliseconds kTickInterval{100};

  ThreadWorker() = default;
  // Cancels the running jobs and ends the thread.
  ~ThreadWorker() override;

  // Called by start on the user-interface thread once the job is handed
  // to the thread: the backend begins calling poll() then (and stops once
  // the worker is no longer busy, so that an idle program does not poll).
  void setStartHook(JobCall hook) { m_startHook = std::move(hook); }

  JobId start(JobStep step, JobCall tick, JobCall finished) override;
  void cancelJob(JobId job) override;
  void cancel() override;
  bool runs(JobId job) const override;
  bool busy() const override { return !m_live.empty(); }

  // On the user-interface thread: runs the ticks that are due and, for
  // each job whose last step has returned, its finished.
  void poll();

 private:
  // What the thread sees of a job (guarded by m_mutex, but for the step,
  // which only the thread calls while the job is its current one).
  struct Steps {
    JobId id;
    JobStep step;
    bool done = false;
    bool cancelled = false;
  };
  // What the user-interface thread keeps of a job.
  struct Live {
    JobId id;
    JobCall tick;
    JobCall finished;
  };
  void run();
  std::shared_ptr<Steps> nextSteps();

  std::thread m_thread;
  mutable std::mutex m_mutex;
  std::condition_variable m_changed;
  std::vector<std::shared_ptr<Steps>> m_steps;  // the jobs the thread knows, in start order
  size_t m_turn = 0;        // where the thread looks for the next step
  JobId m_stepping = kNoJob;  // the job whose step runs now
  bool m_quit = false;
  std::vector<Live> m_live;  // user-interface thread only
  JobId m_last = kNoJob;
  JobCall m_startHook;
  bool m_polling = false;
  std::chrono::steady_clock::time_point m_nextTick;
};

}  // namespace pelisto
