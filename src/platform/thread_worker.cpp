#include "platform/thread_worker.h"

namespace pelisto {

ThreadWorker::~ThreadWorker() { cancel(); }

void ThreadWorker::start(JobStep step, JobCall tick, JobCall finished) {
  cancel();
  m_tick = std::move(tick);
  m_finished = std::move(finished);
  m_busy = true;
  m_nextTick = std::chrono::steady_clock::now() + kTickInterval;
  m_thread = std::thread([this, step = std::move(step)] {
    while (!m_stop.load(std::memory_order_relaxed) && step()) {
    }
    m_done.store(true, std::memory_order_release);
  });
  if (m_startHook) m_startHook();
}

void ThreadWorker::reset() {
  if (m_thread.joinable()) m_thread.join();
  m_tick = nullptr;
  m_finished = nullptr;
  m_busy = false;
  m_stop = false;
  m_done = false;
}

void ThreadWorker::cancel() {
  if (!m_busy) return;
  m_stop.store(true, std::memory_order_relaxed);
  reset();
}

void ThreadWorker::poll() {
  // A tick or a finish that shows a window may come back here.
  if (!m_busy || m_polling) return;
  m_polling = true;
  if (m_done.load(std::memory_order_acquire)) {
    JobCall finished = std::move(m_finished);
    reset();
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
