#include "headless/manual_worker.h"

#include <utility>

namespace pelisto {

void ManualWorker::start(JobStep step, JobCall tick, JobCall finished) {
  cancel();
  m_step = std::move(step);
  m_tick = std::move(tick);
  m_finished = std::move(finished);
  m_busy = true;
  m_stepsDone = false;
}

void ManualWorker::cancel() {
  if (!busy()) return;
  ++m_cancels;
  release();
}

void ManualWorker::release() {
  m_step = nullptr;
  m_tick = nullptr;
  m_finished = nullptr;
  m_busy = false;
}

int ManualWorker::runSteps(int n) {
  int ran = 0;
  while (busy() && !m_stepsDone && ran < n) {
    ++ran;
    m_stepsDone = !m_step();
  }
  return ran;
}

void ManualWorker::poll() {
  if (!busy()) return;
  if (!m_stepsDone) {
    if (m_tick) m_tick();
    return;
  }
  JobCall finished = std::move(m_finished);
  release();
  finished();
}

void ManualWorker::runToEnd() {
  while (busy() && !m_stepsDone) runSteps(1);
  poll();
}

}  // namespace pelisto
