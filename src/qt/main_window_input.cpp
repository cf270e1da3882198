// The main window's keyboard, close and drop handling.
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMimeData>
#include <QUrl>

#include <string>
#include <vector>

#include "qt/desktop_settings.h"
#include "qt/main_window.h"
#include "qt/qt_text.h"

namespace pelisto {
namespace {

// A key's release and press this close together are one repeat.
constexpr quint64 kRepeatPairMs = 10;

}  // namespace

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  // The repeats of a key held down when a modal window took over are not
  // the user's next action: they are dropped until a key is pressed anew.
  // X11 sends a repeat as a release and a press of the same moment, and
  // the first one after the window has the focus back may come unmarked.
  // A menu key is stopped before its shortcut, a control's before it.
  const QEvent::Type type = event->type();
  if (type == QEvent::KeyRelease) {
    const auto* key = static_cast<QKeyEvent*>(event);
    m_released = {key->key(), key->timestamp()};
  } else if (type == QEvent::KeyPress || type == QEvent::ShortcutOverride) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool repeat = key->isAutoRepeat() || (key->key() == m_released.key &&
                                                key->timestamp() - m_released.at <= kRepeatPairMs);
    if (!repeat) {
      m_heldKeyCut = false;
    } else if (m_heldKeyCut) {
      event->accept();
      return true;
    }
    if (type == QEvent::KeyPress && keyCommand(*key, repeat)) return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

bool MainWindow::keyCommand(const QKeyEvent& key, bool repeat) {
  if (key.modifiers() & ~Qt::KeypadModifier) return false;
  // By the focus, not the receiver: a key the list leaves unused comes on
  // to the window.
  const bool inList = QApplication::focusWidget() == m_list;
  switch (key.key()) {
    case Qt::Key_Space:  // also over a focused button, which would click
      if (!repeat) send(Event{EventKind::kPlayOrStop});
      return true;
    case Qt::Key_Delete:
      if (!inList) return false;
      if (!repeat) send(Event::click(Control::BUTTON8));
      return true;
    case Qt::Key_Home:
    case Qt::Key_End:
      if (inList) return false;  // the list's own first and last line
      if (!repeat) {
        m_scroll->triggerAction(key.key() == Qt::Key_Home ? QAbstractSlider::SliderToMinimum
                                                          : QAbstractSlider::SliderToMaximum);
      }
      return true;
    default:
      return false;
  }
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!m_closed) {
    send(Event{EventKind::kClose});
    // The user may keep the window (an unsaved edit list, a cancelled save).
    if (m_closeRefused && m_closeRefused()) {
      event->ignore();
      return;
    }
    rememberWindowPosition(geometry().topLeft());
  }
  m_closed = true;
  forgetOpenWindow(m_serial);
  event->accept();
}

// Anything is taken while nothing plays or runs; the program opens one file
// and says why it refuses anything else.
bool MainWindow::takesDrops() const {
  return !QApplication::activeModalWidget() && (!m_dropAllowed || m_dropAllowed());
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) { dragMoveEvent(event); }

void MainWindow::dragMoveEvent(QDragMoveEvent* event) {
  if (takesDrops()) {
    event->acceptProposedAction();
  } else {
    event->ignore();
  }
}

void MainWindow::dropEvent(QDropEvent* event) {
  if (!takesDrops()) {
    event->ignore();
    return;
  }
  event->acceptProposedAction();
  std::vector<std::string> paths;
  for (const QUrl& url : event->mimeData()->urls()) {
    paths.push_back(url.isLocalFile() ? fromQt(QFileInfo(url.toLocalFile()).absoluteFilePath())
                                      : std::string());
  }
  // Opened once the drop is over, so the sender is not held up by a box.
  QMetaObject::invokeMethod(this, [this, drop = Event::drop(std::move(paths))] { send(drop); },
                            Qt::QueuedConnection);
}

}  // namespace pelisto
