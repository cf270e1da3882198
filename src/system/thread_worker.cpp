#include "system/thread_worker.h"

#include <algorithm>
#include <utility>

#include <sys/resource.h>

namespace pelisto {

ThreadWorker::~ThreadWorker() {
  cancel();
  if (!m_thread.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_quit = true;
  }
  m_changed.notify_all();
  m_thread.join();
}

// The next job with steps remaining after the last one served, so that
// the jobs take turns; null when none has. Called with the lock held.
std::shared_ptr<ThreadWorker::Steps> ThreadWorker::nextSteps() {
  for (size_t i = 0; i < m_steps.size(); ++i) {
    const size_t at = (m_turn + i) % m_steps.size();
    if (!m_steps[at]->done && !m_steps[at]->cancelled) {
      m_turn = at + 1;
      return m_steps[at];
    }
  }
  return nullptr;
}

void ThreadWorker::run() {
  // Behind the window: when the processors are busy the window goes first
  // (on Linux the nice value is the calling thread's own).
  ::setpriority(PRIO_PROCESS, 0, 10);
  std::unique_lock<std::mutex> lock(m_mutex);
  for (;;) {
    std::shared_ptr<Steps> job;
    m_changed.wait(lock, [&] { return m_quit || (job = nextSteps()) != nullptr; });
    if (m_quit) return;
    // While m_stepping names it, no cancel touches the job.
    m_stepping = job->id;
    lock.unlock();
    const bool more = job->step();
    if (!more) job->step = nullptr;  // the job's own data is released here, before the finish
    lock.lock();
    if (!more) job->done = true;
    job.reset();  // a cancel waiting for this step holds the job's last reference
    m_stepping = kNoJob;
    m_changed.notify_all();
  }
}

JobId ThreadWorker::start(JobStep step, JobCall tick, JobCall finished) {
  const JobId id = ++m_last;
  if (m_live.empty()) m_nextTick = std::chrono::steady_clock::now() + kTickInterval;
  m_live.push_back(Live{id, std::move(tick), std::move(finished)});
  if (!m_thread.joinable()) m_thread = std::thread([this] { run(); });
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_steps.push_back(std::make_shared<Steps>(Steps{id, std::move(step)}));
  }
  m_changed.notify_all();
  if (m_startHook) m_startHook();
  return id;
}

bool ThreadWorker::runs(JobId job) const {
  return std::any_of(m_live.begin(), m_live.end(), [job](const Live& l) { return l.id == job; });
}

void ThreadWorker::cancelJob(JobId job) {
  auto live = std::find_if(m_live.begin(), m_live.end(), [job](const Live& l) { return l.id == job; });
  if (live == m_live.end()) return;
  std::shared_ptr<Steps> steps;
  {
    std::unique_lock<std::mutex> lock(m_mutex);
    auto it = std::find_if(m_steps.begin(), m_steps.end(), [job](const auto& s) { return s->id == job; });
    if (it != m_steps.end()) {
      (*it)->cancelled = true;  // the thread takes no further step of it
      m_changed.wait(lock, [&] { return m_stepping != job; });
      it = std::find_if(m_steps.begin(), m_steps.end(), [job](const auto& s) { return s->id == job; });
      steps = std::move(*it);
      m_steps.erase(it);
    }
  }
  steps.reset();  // a step never taken is released here, off the lock
  m_live.erase(std::find_if(m_live.begin(), m_live.end(), [job](const Live& l) { return l.id == job; }));
}

void ThreadWorker::cancel() {
  while (!m_live.empty()) cancelJob(m_live.front().id);
}

void ThreadWorker::poll() {
  // A tick or a finish that shows a window may come back here.
  if (m_live.empty() || m_polling) return;
  m_polling = true;
  std::vector<JobId> done;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto it = m_steps.begin(); it != m_steps.end();) {
      if ((*it)->done) {
        done.push_back((*it)->id);
        it = m_steps.erase(it);
      } else {
        ++it;
      }
    }
  }
  for (const JobId id : done) {
    auto it = std::find_if(m_live.begin(), m_live.end(), [id](const Live& l) { return l.id == id; });
    if (it == m_live.end()) continue;  // an earlier finish cancelled it
    JobCall finished = std::move(it->finished);
    m_live.erase(it);
    if (finished) finished();
  }
  const auto now = std::chrono::steady_clock::now();
  if (now >= m_nextTick) {
    m_nextTick = now + kTickInterval;
    std::vector<JobId> ticking;
    for (const Live& l : m_live) ticking.push_back(l.id);
    for (const JobId id : ticking) {
      // Looked up afresh: a tick may cancel its own job or another.
      auto it = std::find_if(m_live.begin(), m_live.end(), [id](const Live& l) { return l.id == id; });
      if (it == m_live.end() || !it->tick) continue;
      JobCall tick = it->tick;
      tick();
    }
  }
  m_polling = false;
}

}  // namespace pelisto
