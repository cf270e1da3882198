// Jobs behind the desktop window: the steps run on a thread of their own,
// the ticks and the finish on this one; a cancel waits for the thread; the
// graph cache is built while the window scrolls, with the same pictures.
#include <QDir>
#include <QFileInfo>

#include <atomic>
#include <fstream>
#include <thread>

#include "../support/test_app.h"
#include "desktop_fixture.h"
#include "view/graph_cache.h"  // graphCachePath(app.ctx)

namespace pelisto::qttest {

class BackgroundJobTest : public QObject {
  Q_OBJECT

 private slots:
  void stepsRunOffTheUserInterfaceThreadAndACancelWaitsForThem() {
    ThreadWorker worker;
    WorkerTimer timer(worker);
    const std::thread::id ui = std::this_thread::get_id();
    std::atomic<std::thread::id> stepThread;
    std::atomic<int> steps{0};
    std::thread::id tickThread, finishThread;
    auto step = [&](int last) {
      return [&, last] {
        stepThread = std::this_thread::get_id();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return ++steps != last;
      };
    };
    worker.start(step(60), [&] { tickThread = std::this_thread::get_id(); },
                 [&] { finishThread = std::this_thread::get_id(); });
    QVERIFY(timer.active());
    QTRY_VERIFY_WITH_TIMEOUT(finishThread == ui, 10000);
    QVERIFY(steps == 60 && stepThread.load() != ui && tickThread == ui);
    QVERIFY(!worker.busy() && !timer.active());  // idle: nothing polls

    // A job without end, cancelled: no step runs after cancel returns.
    bool finished = false;
    worker.start(step(0), nullptr, [&] { finished = true; });
    QTRY_VERIFY(steps >= 63);
    worker.cancel();
    const int after = steps;
    QTest::qWait(100);
    QVERIFY(steps == after && !finished && !worker.busy() && !timer.active());
  }

  void theWindowScrollsWhileTheCacheIsBuilt() {
    QTemporaryDir dir;
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir.path());  // where the cache lands
    {
      std::vector<uint8_t> file = test::wavFile(test::patternData(60 * 176400, 13, 5));
      const QString path = dir.filePath(QStringLiteral("long.wav"));
      std::ofstream(path.toStdString(), std::ios::binary)
          .write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
      Desktop app;
      MainWindow& window = app.ui.window();
      window.action(MenuItem::GrapgFast)->trigger();
      // Named from outside, as a drop names it: no file dialog, whose own
      // threads are no part of this.
      window.send(Event::openPath(path.toStdString()));
      // No event has been handled since the open: the build cannot be done.
      QVERIFY(app.worker.busy() && app.ui.progressStrip()->isVisible());
      QCOMPARE(app.ui.progressStrip()->label().text(), QStringLiteral("グラフデータを作成中です 0%"));
      QCOMPARE(app.ctx.state.GRAPHFNUM, int16_t(0));
      window.scrollBar()->setValue(37);
      QCOMPARE(window.edit(Control::EDIT2)->text(), QStringLiteral("0 分 37 秒目"));
      const QImage direct = window.pictureClient()->grab().toImage();

      QTRY_VERIFY_WITH_TIMEOUT(app.ctx.state.GRAPHFNUM != 0, 20000);
      QVERIFY(!app.ui.progressStrip()->isVisible() && QFileInfo::exists(QString::fromStdString(graphCachePath(app.ctx))));
      window.scrollBar()->setValue(36);
      window.scrollBar()->setValue(37);  // drawn from the cache now
      QCOMPARE(window.pictureClient()->grab().toImage(), direct);
    }
    QDir::setCurrent(before);
  }
};

}  // namespace pelisto::qttest

PELISTO_QT_TEST_MAIN(pelisto::qttest::BackgroundJobTest)

#include "background_job_test.moc"
