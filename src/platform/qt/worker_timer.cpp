#include "platform/qt/worker_timer.h"

namespace pelisto {

WorkerTimer::WorkerTimer(ThreadWorker& worker) : m_worker(worker) {
  m_timer.setInterval(kPollMs);
  connect(&m_timer, &QTimer::timeout, this, [this] {
    m_worker.poll();
    if (!m_worker.busy()) m_timer.stop();
  });
  m_worker.setStartHook([this] { m_timer.start(); });
}

WorkerTimer::~WorkerTimer() { m_worker.setStartHook(nullptr); }

}  // namespace pelisto
