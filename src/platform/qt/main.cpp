// The desktop program: the real window over the program's handlers.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "app/events.h"
#include "app/handlers.h"
#include "app/main_loop.h"
#include "platform/file_system.h"
#include "platform/qt/desktop_mci.h"
#include "platform/qt/qt_event_pump.h"
#include "platform/qt/qt_ui.h"
#include "platform/qt/worker_timer.h"
#include "platform/thread_worker.h"

int main(int argc, char** argv) {
  using namespace pelisto;
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Pelisto"));
  // Qt's own dialogs speak Japanese like the rest of the program.
  QTranslator translator;
  if (translator.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                      QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&translator);
  }

  std::unique_ptr<FileSystem> fs = newPosixFileSystem();
  QtUi ui;
  // Completions arrive on the sound thread and are queued, in order, for
  // this one.
  std::unique_ptr<MciDevice> mci = newDesktopMci(
      *fs, [&ui](MciNotify) { ui.post(Event{EventKind::kMciDone, Control::MCI1}); },
      [&ui](const std::string& text) { ui.notice(text); });
  // Declared before the context: destroyed after it, cancelling a job
  // still running.
  ThreadWorker worker;
  WorkerTimer workerTimer(worker);
  AppContext ctx(ui, *fs, *mci, worker);
  ui.setEventSink([&ctx](const Event& event) { dispatchEvent(ctx, event); });

  ui.window().show();
  MAINFORM_START(ctx);
  QtEventPump pump(ui.window());
  runMainLoop(ctx, pump);
  return 0;
}
