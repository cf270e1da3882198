// A worker for tests that runs a job only when told: so many steps, then a
// poll that delivers a tick or the finish, so that a test can act at any
// point of a job. Everything runs on the caller's thread.
#pragma once

#include "platform/worker.h"

namespace pelisto {

class ManualWorker final : public Worker {
 public:
  void start(JobStep step, JobCall tick, JobCall finished) override;
  void cancel() override;
  bool busy() const override { return m_busy; }

  // Runs up to n steps, fewer when the last step comes first; returns how
  // many ran.
  int runSteps(int n);
  // True once the last step has returned and the finish is still to come.
  bool stepsDone() const { return busy() && m_stepsDone; }
  // As the backend's poll: the finish once the steps are done, else a tick.
  void poll();
  // Every remaining step, then the finish.
  void runToEnd();
  int cancels() const { return m_cancels; }

 private:
  void release();

  JobStep m_step;
  JobCall m_tick;
  JobCall m_finished;
  bool m_busy = false;
  bool m_stepsDone = false;
  int m_cancels = 0;
};

}  // namespace pelisto
