#include "qt/worker_timer.h"

#include <QWidget>

#include "qt/busy_scope.h"

namespace pelisto {

WorkerTimer::WorkerTimer(ThreadWorker& worker) : m_worker(worker) {
  m_timer.setInterval(kPollMs);
  connect(&m_timer, &QTimer::timeout, this, [this] {
    // A job's finish may show a message box: not in the middle of a long
    // command (whose busy scope swallows the input the box would need) or
    // of a drag that holds the mouse. It comes once they are over.
    if (QtBusyScope::anyActive() || QWidget::mouseGrabber()) return;
    m_worker.poll();
    if (!m_worker.busy()) m_timer.stop();
  });
  m_worker.setStartHook([this] { m_timer.start(); });
}

WorkerTimer::~WorkerTimer() { m_worker.setStartHook(nullptr); }

}  // namespace pelisto
