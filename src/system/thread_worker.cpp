#include "system/thread_worker.h"

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

void ThreadWorker::run() {
  // Behind the window: when the processors are busy the window goes first
  // (on Linux the nice value is the calling thread's own).
  ::setpriority(PRIO_PROCESS, 0, 10);
  std::unique_lock<std::mutex> lock(m_mutex);
  for (;;) {
    m_changed.wait(lock, [this] { return m_quit || m_next; });
    if (m_quit) return;
    JobStep step = std::move(m_next);
    m_next = nullptr;
    m_inJob = true;
    lock.unlock();
    while (!m_stop.load(std::memory_order_relaxed) && step()) {
    }
    step = nullptr;  // the job's own data is released here, before the finish
    lock.lock();
    m_inJob = false;
    m_done.store(true, std::memory_order_release);
    m_changed.notify_all();
  }
}

void ThreadWorker::start(JobStep step, JobCall tick, JobCall finished) {
  cancel();
  m_tick = std::move(tick);
  m_finished = std::move(finished);
  m_busy = true;
  m_nextTick = std::chrono::steady_clock::now() + kTickInterval;
  if (!m_thread.joinable()) m_thread = std::thread([this] { run(); });
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stop = false;
    m_done = false;
    m_next = std::move(step);
  }
  m_changed.notify_all();
  if (m_startHook) m_startHook();
}

void ThreadWorker::release() {
  m_tick = nullptr;
  m_finished = nullptr;
  m_busy = false;
}

void ThreadWorker::cancel() {
  if (!m_busy) return;
  {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_stop = true;
    m_next = nullptr;  // a job not yet taken never runs
    m_changed.wait(lock, [this] { return !m_inJob; });
  }
  release();
}

void ThreadWorker::poll() {
  // A tick or a finish that shows a window may come back here.
  if (!m_busy || m_polling) return;
  m_polling = true;
  if (m_done.load(std::memory_order_acquire)) {
    JobCall finished = std::move(m_finished);
    release();
    m_polling = false;
    if (finished) finished();
    return;
  }
  const auto now = std::chrono::steady_clock::now();
  if (now >= m_nextTick && m_tick) {
    m_nextTick = now + kTickInterval;
    JobCall tick = m_tick;  // the tick may cancel the job, releasing m_tick
    tick();
  }
  m_polling = false;
}

}  // namespace pelisto
