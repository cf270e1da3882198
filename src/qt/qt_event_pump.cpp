#include "qt/qt_event_pump.h"

#include <QCoreApplication>
#include <QTimer>

namespace pelisto {

void QtEventPump::processPending() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  // Without a running event loop, objects Qt deletes later (closed menus,
  // finished dialogs' parts) would never go: this is the loop's top level.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void QtEventPump::waitForEvents(int timeoutMs) {
  QTimer wake;
  if (timeoutMs >= 0) {
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    wake.start(timeoutMs);
  }
  QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

}  // namespace pelisto
