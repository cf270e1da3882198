#include "qt/busy_scope.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include <algorithm>

#include "qt/qt_text.h"

namespace pelisto {
namespace {

constexpr qint64 kShowProgressAfterMs = 500;
constexpr qint64 kPumpIntervalMs = 20;
constexpr int kProgressSteps = 1000;

bool isUserInput(QEvent::Type type) {
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::Close:
      return true;
    default:
      return false;
  }
}

}  // namespace

QtBusyScope::QtBusyScope(QWidget* window, QWidget* grabber, const std::string& caption,
                         bool cancellable)
    : m_window(window),
      m_grabber(grabber),
      m_previousGrabber(QWidget::mouseGrabber()),
      m_caption(toQt(caption)),
      m_cancellable(cancellable) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  m_grabber->grabMouse();
  qApp->installEventFilter(this);
  m_elapsed.start();
  ++s_active;
}

QtBusyScope::~QtBusyScope() {
  --s_active;
  qApp->removeEventFilter(this);
  m_progress.reset();
  if (QWidget::mouseGrabber() == m_grabber) m_grabber->releaseMouse();
  if (m_previousGrabber) m_previousGrabber->grabMouse();
  QApplication::restoreOverrideCursor();
}

bool QtBusyScope::update(uint64_t done, uint64_t total) {
  const qint64 now = m_elapsed.elapsed();
  if (now - m_lastPump < kPumpIntervalMs && m_lastPump >= 0) {
    return !(m_progress && m_progress->wasCanceled());
  }
  m_lastPump = now;
  if (!m_progress && now >= kShowProgressAfterMs) {
    m_progress = std::make_unique<QProgressDialog>(
        m_caption, m_cancellable ? QStringLiteral("キャンセル") : QString(), 0, kProgressSteps,
        m_window);
    m_progress->setObjectName(QStringLiteral("busyProgress"));
    m_progress->setWindowTitle(m_window->windowTitle());
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    m_progress->setMinimumDuration(0);
    // The dialog's own button must take the mouse.
    if (QWidget::mouseGrabber() == m_grabber) m_grabber->releaseMouse();
    m_progress->show();
  }
  if (m_progress) {
    const int value = total == 0 ? 0 : static_cast<int>(done * kProgressSteps / total);
    m_progress->setValue(std::min(value, kProgressSteps));
  }
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  return !(m_cancellable && m_progress && m_progress->wasCanceled());
}

bool QtBusyScope::eventFilter(QObject* watched, QEvent* event) {
  if (!watched->isWidgetType() || !isUserInput(event->type())) return false;
  // The progress dialog (and its cancel button) keeps its input.
  for (QObject* o = watched; o; o = o->parent()) {
    if (m_progress && o == m_progress.get()) return false;
  }
  if (event->type() == QEvent::Close && !event->spontaneous()) return false;
  return true;
}

}  // namespace pelisto
