#include "headless/inline_worker.h"

namespace pelisto {

void InlineWorker::start(JobStep step, JobCall, JobCall finished) {
  ++m_jobs;
  m_busy = true;
  while (step()) {
  }
  m_busy = false;
  finished();
}

}  // namespace pelisto
