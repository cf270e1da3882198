// A worker for tests that runs jobs only when told: so many steps, then a
// poll that delivers the ticks and the finishes, so that a test can act at
// any point of a job. Everything runs on the caller's thread. Jobs are
// kept in the order they were started; runSteps without a job steps the
// oldest one whose steps remain.
#pragma once

#include <vector>

#include "platform/worker.h"

namespace pelisto {

class ManualWorker final : public Worker {
 public:
  JobId start(JobStep step, JobCall tick, JobCall finished) override;
  void cancelJob(JobId job) override;
  void cancel() override;
  bool runs(JobId job) const override { return find(job) != nullptr; }
  bool busy() const override { return !m_jobs.empty(); }

  // Runs up to n steps of job (kNoJob: the oldest job whose steps
  // remain), fewer when its last step comes first; returns how many ran.
  int runSteps(int n, JobId job = kNoJob);
  // True once the oldest job's last step has returned and its finish is
  // still to come.
  bool stepsDone() const { return !m_jobs.empty() && m_jobs.front().stepsDone; }
  // As the backend's poll: the finish of each job whose steps are done,
  // a tick for each of the others.
  void poll();
  // Every remaining step of every job, then the finishes.
  void runToEnd();
  // Every remaining step of one job, then its finish alone.
  void runToEnd(JobId job);
  // Jobs cancelled while they ran.
  int cancels() const { return m_cancels; }
  // The jobs running, oldest first.
  std::vector<JobId> jobs() const;

 private:
  struct Job {
    JobId id;
    JobStep step;
    JobCall tick;
    JobCall finished;
    bool stepsDone = false;
  };
  const Job* find(JobId job) const;
  Job* find(JobId job) { return const_cast<Job*>(static_cast<const ManualWorker*>(this)->find(job)); }

  std::vector<Job> m_jobs;
  JobId m_last = kNoJob;
  int m_cancels = 0;
};

}  // namespace pelisto
