// A long operation on the desktop: the wait pointer, the mouse captured by
// the main window, user input to every other window swallowed (painting
// goes on), and a progress dialog once the work lasts about half a second.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QProgressDialog>

#include <memory>
#include <string>

#include "platform/ui.h"

namespace pelisto {

class QtBusyScope final : public QObject, public BusyScope {
 public:
  QtBusyScope(QWidget* window, QWidget* grabber, const std::string& caption, bool cancellable);
  ~QtBusyScope() override;

  bool update(uint64_t done, uint64_t total) override;
  // True while a busy scope exists anywhere in the program.
  static bool anyActive() { return s_active > 0; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* m_window;
  QWidget* m_grabber;
  QPointer<QWidget> m_previousGrabber;
  QString m_caption;
  bool m_cancellable;
  QElapsedTimer m_elapsed;
  qint64 m_lastPump = -1;
  std::unique_ptr<QProgressDialog> m_progress;
  static inline int s_active = 0;
};

}  // namespace pelisto
