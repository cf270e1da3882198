// A worker that runs each job to its end inside start(): every step, then
// finished, on the caller's thread. The scenario runner and the handler
// tests use it, so a job is done the moment it is started.
#pragma once

#include "platform/worker.h"

namespace pelisto {

class InlineWorker final : public Worker {
 public:
  JobId start(JobStep step, JobCall tick, JobCall finished) override;
  void cancelJob(JobId) override {}
  void cancel() override {}
  bool runs(JobId job) const override { return job != kNoJob && job == m_running; }
  bool busy() const override { return m_running != kNoJob; }
  // Jobs started so far.
  int jobs() const { return static_cast<int>(m_last); }

 private:
  JobId m_last = kNoJob;
  JobId m_running = kNoJob;  // the job whose steps run now (a step may start another)
};

}  // namespace pelisto
