#include "headless/inline_worker.h"

namespace pelisto {

JobId InlineWorker::start(JobStep step, JobCall, JobCall finished) {
  const JobId id = ++m_last;
  const JobId outer = m_running;
  m_running = id;
  while (step()) {
  }
  m_running = outer;
  finished();
  return id;
}

}  // namespace pelisto
