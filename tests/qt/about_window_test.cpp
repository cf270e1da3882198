// The about window on the real desktop: opened from the menu, modal over
// the main window (whose buttons then do nothing), its painted gradient,
// and the two ways to end it.
#include <QDir>
#include <QMessageBox>
#include <QPushButton>

#include "desktop_fixture.h"

namespace pelisto::qttest {

class AboutWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<Desktop> m_app;
  // Answers any message box that comes up while it runs, noting its text.
  QTimer m_boxWatch;
  QStringList m_boxes;

  QWindow* mainHandle() { return m_app->ui.window().windowHandle(); }
  QPoint centreInWindow(Control control) {
    QWidget* w = m_app->ui.widget(control);
    return w->mapTo(&m_app->ui.window(), w->rect().center());
  }
  QStringList seen() const {
    QStringList names;
    for (const Event& e : m_app->events) names << QString::fromStdString(handlerName(e));
    return names;
  }
  // BUTTON11 pressed through the window system, as a user's click comes.
  void clickBlankInsert() {
    QTest::mouseClick(mainHandle(), Qt::LeftButton, {}, centreInWindow(Control::BUTTON11));
    QCoreApplication::processEvents();
  }

 private slots:
  void initTestCase() {
    m_app = std::make_unique<Desktop>();
    QVERIFY(QTest::qWaitForWindowExposed(&m_app->ui.window()));
    m_boxWatch.setInterval(10);
    connect(&m_boxWatch, &QTimer::timeout, this, [this] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        m_boxes << box->text();
        box->button(QMessageBox::Ok)->click();
      }
    });
  }
  void init() {
    m_app->reset(true);
    m_boxes.clear();
    m_boxWatch.start();
  }
  void cleanup() { m_boxWatch.stop(); }

  void mainWindowTakesNoInputWhileShown() {
    bool shown = false;
    whenModal<AboutDialog>([&](AboutDialog* d) {
      shown = true;
      QCOMPARE(QApplication::activeModalWidget(), d);
      QVERIFY(d->isModal());
      QCOMPARE(d->windowTitle(), QStringLiteral("著作権表示"));
      // On an empty list, this click would be refused with a box.
      clickBlankInsert();
      QTest::keyClick(mainHandle(), Qt::Key_Space);
      QCOMPARE(seen(), QStringList({"COPYRIGHT_ON"}));
      QVERIFY(m_boxes.isEmpty());
      QCOMPARE(m_app->ui.lineCount(), 0);
      QCOMPARE(QApplication::activeModalWidget(), d);
      QTest::mouseClick(d->button(), Qt::LeftButton);
    });
    m_app->ui.window().action(MenuItem::Copyright)->trigger();
    QVERIFY(shown);
    QCOMPARE(m_app->ui.aboutDialog(), nullptr);
    QCOMPARE(seen(), QStringList({"COPYRIGHT_ON", "BUTTON13_ON"}));
    QVERIFY(m_boxes.isEmpty());
  }

  void gradientAsShown() {
    QImage shot;
    whenModal<AboutDialog>([&](AboutDialog* d) {
      shot = d->grab().toImage();
      d->button()->click();
    });
    m_app->ui.window().action(MenuItem::Copyright)->trigger();
    QCOMPARE(shot.size(), QSize(kForm3ClientWidth, kForm3ClientHeight));
    // Blue 255 − 0.6 × (290 − y), rounded, by rows; the row that would be
    // full blue (y = 290) lies just below the client area. Rows 63, 64,
    // 127 and 128 are the rules.
    const std::pair<int, int> rows[] = {{0, 81},   {1, 82},   {62, 118},  {63, 0},  {64, 144},
                                        {127, 96}, {128, 192}, {288, 254}, {289, 254}};
    for (const auto& [y, blue] : rows) {
      for (int x : {0, 4, kForm3ClientWidth - 1}) {
        QVERIFY2(shot.pixelColor(x, y) == QColor(0, 0, blue),
                 qPrintable(QStringLiteral("(%1, %2) is %3").arg(x).arg(y).arg(shot.pixelColor(x, y).name())));
      }
    }
    // The texts are drawn on it: light ink where the title stands.
    int light = 0;
    for (int y = 80; y < 112; ++y) {
      for (int x = 16; x < 200; ++x) light += shot.pixelColor(x, y).red() > 160;
    }
    QVERIFY2(light > 100, qPrintable(QString::number(light)));
    const QByteArray dir = qgetenv("PELISTO_ARTIFACTS");
    if (!dir.isEmpty() && QDir().mkpath(QString::fromLocal8Bit(dir))) {
      QVERIFY(shot.save(QString::fromLocal8Bit(dir) + "/about_window.png"));
    }
  }

  void closeBoxEndsIt() {
    bool shown = false;
    whenModal<AboutDialog>([&](AboutDialog* d) {
      shown = true;
      d->windowHandle()->close();  // as the window manager's close box does
    });
    m_app->ui.window().action(MenuItem::Copyright)->trigger();
    QVERIFY(shown);
    QCOMPARE(m_app->ui.aboutDialog(), nullptr);
    QCOMPARE(seen(), QStringList({"COPYRIGHT_ON"}));
    QVERIFY(!m_app->ui.window().closed());
  }

  void mainWindowTakesInputAgainAfterwards() {
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    clickBlankInsert();
    QTRY_COMPARE_WITH_TIMEOUT(m_boxes.size(), 1, 10000);
    QCOMPARE(m_boxes[0], QStringLiteral("ブランクのみ挿入する事は出来ません"));
    QCOMPARE(seen(), QStringList({"BUTTON11_ON"}));
  }

  void cleanupTestCase() {
    m_app->reset(false);
    m_app->ui.window().close();
  }
};

}  // namespace pelisto::qttest

PELISTO_QT_TEST_MAIN(pelisto::qttest::AboutWindowTest)

#include "about_window_test.moc"
