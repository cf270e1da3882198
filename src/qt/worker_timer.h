// Drives a ThreadWorker from Qt's event loop: a timer polls it on the
// user-interface thread while a job runs, and only then, so the idle
// program takes no CPU.
#pragma once

#include <QObject>
#include <QTimer>

#include "system/thread_worker.h"

namespace pelisto {

class WorkerTimer final : public QObject {
 public:
  static constexpr int kPollMs = 50;

  explicit WorkerTimer(ThreadWorker& worker);
  ~WorkerTimer() override;

  bool active() const { return m_timer.isActive(); }

 private:
  ThreadWorker& m_worker;
  QTimer m_timer;
};

}  // namespace pelisto
