// A worker that runs each job to its end inside start(): every step, then
// finished, on the caller's thread. The scenario runner and the handler
// tests use it, so a job is done the moment it is started.
#pragma once

#include "platform/worker.h"

namespace pelisto {

class InlineWorker final : public Worker {
 public:
  void start(JobStep step, JobCall tick, JobCall finished) override;
  void cancel() override {}
  bool busy() const override { return m_busy; }
  // Jobs started so far.
  int jobs() const { return m_jobs; }

 private:
  bool m_busy = false;
  int m_jobs = 0;
};

}  // namespace pelisto
