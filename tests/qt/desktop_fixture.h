// Shared by the tests of the real window: the desktop user interface over
// the real file system, a silent media device, and events recorded on
// their way to the handlers.
#pragma once

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>
#include <vector>

#include "editlist/handlers.h"
#include "playback/handlers.h"
#include "project/handlers.h"
#include "qt/qt_ui.h"
#include "qt/worker_timer.h"
#include "shell/events.h"
#include "shell/handlers.h"
#include "shell/open_document.h"
#include "view/handlers.h"
#include "wave/handlers.h"

namespace pelisto::qttest {

class SilentMci final : public MciDevice {
 public:
  MciResult send(const std::string&) override { return MciResult{}; }
};

// Acts on the next modal window of type T once it is on screen.
template <class T, class F>
void whenModal(F act, int tries = 300) {
  QTimer::singleShot(10, [act, tries] {
    if (auto* w = qobject_cast<T*>(QApplication::activeModalWidget()); w && w->isVisible()) {
      act(w);
    } else if (tries > 0) {
      whenModal<T>(act, tries - 1);
    }
  });
}

// Types path into the next file dialog and accepts it.
inline void answerFileDialog(const QString& path) {
  whenModal<QFileDialog>([path](QFileDialog* d) {
    d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
    QMetaObject::invokeMethod(d, "accept");
  });
}

// Answers the modal dialog on top every `ms` milliseconds, counting them.
struct ModalAnswerer {
  int answered = 0;
  QTimer timer;
  explicit ModalAnswerer(int ms) {
    QObject::connect(&timer, &QTimer::timeout, [this] {
      if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget()); d && d->isVisible()) {
        ++answered;
        d->reject();
      }
    });
    timer.start(ms);
  }
};

inline QColor rgb(Rgb c) { return QColor(c.r, c.g, c.b); }

// The program as main() builds it, after start-up. Events are recorded,
// and dispatched to their handlers while `dispatch` is true.
struct Desktop {
  std::unique_ptr<FileSystem> fs = newPosixFileSystem();
  SilentMci mci;
  QtUi ui;
  ThreadWorker worker;
  WorkerTimer workerTimer{worker};
  std::unique_ptr<SoundLibrary> sound = newSoundLibrary();
  AppContext ctx{ui, *fs, mci, worker, *sound};
  std::vector<Event> events;
  bool dispatch = true;

  Desktop() {
    ui.setEventSink([this](const Event& e) {
      events.push_back(e);
      if (dispatch) dispatchEvent(ctx, e);
    });
    ui.window().setDropAllowed([this] { return readyToOpen(ctx); });
    ui.window().show();
    MAINFORM_START(ctx);
  }
  void reset(bool dispatchEvents) {
    events.clear();
    dispatch = dispatchEvents;
  }
};

}  // namespace pelisto::qttest

// A test main that needs no environment: offscreen unless told otherwise.
#define PELISTO_QT_TEST_MAIN(TestClass)                                        \
  int main(int argc, char** argv) {                                           \
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                       \
      qputenv("QT_QPA_PLATFORM", "offscreen");                                \
    QTemporaryDir runtime;                                                    \
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))                       \
      qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());               \
    QTemporaryDir config; /* the user's own settings are never touched */     \
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());                  \
    QApplication app(argc, argv);                                             \
    TestClass test;                                                           \
    return QTest::qExec(&test, argc, argv);                                   \
  }
