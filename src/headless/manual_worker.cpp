#include "headless/manual_worker.h"

#include <algorithm>
#include <utility>

namespace pelisto {

JobId ManualWorker::start(JobStep step, JobCall tick, JobCall finished) {
  m_jobs.push_back(Job{++m_last, std::move(step), std::move(tick), std::move(finished)});
  return m_last;
}

const ManualWorker::Job* ManualWorker::find(JobId job) const {
  for (const Job& j : m_jobs) {
    if (j.id == job) return &j;
  }
  return nullptr;
}

void ManualWorker::cancelJob(JobId job) {
  auto it = std::find_if(m_jobs.begin(), m_jobs.end(), [job](const Job& j) { return j.id == job; });
  if (it == m_jobs.end()) return;
  ++m_cancels;
  m_jobs.erase(it);
}

void ManualWorker::cancel() {
  m_cancels += static_cast<int>(m_jobs.size());
  m_jobs.clear();
}

std::vector<JobId> ManualWorker::jobs() const {
  std::vector<JobId> ids;
  for (const Job& j : m_jobs) ids.push_back(j.id);
  return ids;
}

int ManualWorker::runSteps(int n, JobId job) {
  if (job == kNoJob) {
    for (const Job& j : m_jobs) {
      if (!j.stepsDone) {
        job = j.id;
        break;
      }
    }
  }
  int ran = 0;
  // Looked up afresh each time: a step is free to start or end jobs.
  for (Job* j = find(job); ran < n && j && !j->stepsDone; j = find(job)) {
    ++ran;
    JobStep step = j->step;  // the step may end its own job
    const bool more = step();
    if (Job* still = find(job)) still->stepsDone = !more;
  }
  return ran;
}

void ManualWorker::poll() {
  for (const JobId id : jobs()) {
    Job* j = find(id);
    if (!j) continue;  // an earlier finish or tick cancelled it
    if (!j->stepsDone) {
      if (JobCall tick = j->tick) tick();
      continue;
    }
    JobCall finished = std::move(j->finished);
    cancelJob(id);
    --m_cancels;  // finished, not cancelled
    if (finished) finished();
  }
}

void ManualWorker::runToEnd(JobId job) {
  while (runSteps(1, job) == 1) {
  }
  Job* j = find(job);
  if (!j) return;
  JobCall finished = std::move(j->finished);
  cancelJob(job);
  --m_cancels;  // finished, not cancelled
  if (finished) finished();
}

void ManualWorker::runToEnd() {
  while (busy()) {  // a finish may start another job
    while (runSteps(1) == 1) {
    }
    poll();
  }
}

}  // namespace pelisto
