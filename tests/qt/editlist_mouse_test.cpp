// Marking a range on the real window: the marking buttons, the cursor line
// that follows the mouse over the picture, the presses that set the start
// and the end, and the lines they leave in the list.
#include <QPushButton>

#include <algorithm>
#include <fstream>

#include "desktop_fixture.h"
#include "wave/open_wave.h"
#include "platform/coding.h"
#include "platform/riff.h"

namespace pelisto::qttest {

class EditListMouseTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<Desktop> m_app;
  QTemporaryDir m_dir;

  QWidget* picture() { return m_app->ui.window().pictureClient(); }
  QWindow* handle() { return m_app->ui.window().windowHandle(); }
  QPoint inWindow(QPoint p) { return picture()->mapTo(&m_app->ui.window(), p); }
  QColor shown(int x, int y) { return picture()->grab().toImage().pixelColor(x, y); }
  std::vector<QColor> column(int x) {
    const QImage shot = picture()->grab().toImage();
    std::vector<QColor> c;
    for (int y = 0; y < shot.height(); ++y) c.push_back(shot.pixelColor(x, y));
    return c;
  }
  void clickButton(Control id) {
    QTest::mouseClick(static_cast<QPushButton*>(m_app->ui.widget(id)), Qt::LeftButton);
  }
  void showSecond(int second) {
    m_app->ui.setScrollPos(second);
    HSCROLL1_CHANGE(m_app->ctx);
  }
  static QColor xored(QColor c) { return QColor(c.red(), c.green() ^ 128, c.blue() ^ 128); }

 private slots:
  void initTestCase() {
    QVERIFY(m_dir.isValid());
    m_app = std::make_unique<Desktop>();
    QVERIFY(QTest::qWaitForWindowExposed(&m_app->ui.window()));
    // Four seconds of a square wave, so the cursor crosses drawn samples.
    const uint32_t bytes = 4 * kBytesPerSecond;
    std::vector<uint8_t> file = riff::canonicalHeader(bytes);
    file.resize(kHeaderSize + bytes);
    for (uint32_t i = 0; i < bytes; i += 2) {
      putLe16(&file[kHeaderSize + i], (i / 400) % 2 ? 9000 : 0xDCD8);
    }
    const std::string path = m_dir.filePath(QStringLiteral("take.wav")).toStdString();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
    m_app->ctx.state.WAVEFILENAME = path;
    QVERIFY(openWaveForView(m_app->ctx, path));
  }

  void markingARangeWithTheMouse() {
    showSecond(1);
    const QColor under120 = shown(120, 10), under300 = shown(300, 10), under0 = shown(0, 10);
    const std::vector<QColor> before = column(120);
    QVERIFY(std::count(before.begin(), before.end(), before[0]) < int(before.size()));
    clickButton(Control::BUTTON3);
    QCOMPARE(m_app->ctx.state.MARKMODE, int16_t(1));
    QCOMPARE(shown(0, 10), xored(under0));
    QCOMPARE(picture()->cursor().shape(), Qt::SizeHorCursor);

    QTest::mouseMove(handle(), inWindow(QPoint(120, 10)));
    QCOMPARE(m_app->ctx.state.CURSORX, int16_t(120));
    QCOMPARE(shown(0, 10), under0);
    // The whole column, waveform included, is combined with teal.
    const std::vector<QColor> after = column(120);
    for (size_t y = 0; y < after.size(); ++y) QCOMPARE(after[y], xored(before[y]));

    QTest::mouseMove(handle(), inWindow(QPoint(300, 10)));
    QCOMPARE(shown(120, 10), under120);
    QCOMPARE(shown(300, 10), xored(under300));
    QTest::mousePress(handle(), Qt::LeftButton, {}, inWindow(QPoint(300, 10)));
    QTest::mouseRelease(handle(), Qt::LeftButton, {}, inWindow(QPoint(300, 10)));
    QCOMPARE(shown(300, 10), under300);  // the press removes the cursor
    QCOMPARE(m_app->ctx.state.MARKMODE, int16_t(0));
    QListWidget* list = m_app->ui.window().list();
    QCOMPARE(list->count(), 1);
    QCOMPARE(list->item(0)->text(),
             QString::fromUtf8("take.wav                            1.500 ～          "));
    QCOMPARE(list->currentRow(), 0);

    showSecond(3);
    clickButton(Control::BUTTON4);
    QCOMPARE(m_app->ctx.state.MARKMODE, int16_t(2));
    QTest::mouseMove(handle(), inWindow(QPoint(150, 10)));
    QTest::mousePress(handle(), Qt::LeftButton, {}, inWindow(QPoint(150, 10)));
    QTest::mouseRelease(handle(), Qt::LeftButton, {}, inWindow(QPoint(150, 10)));
    QCOMPARE(list->count(), 1);
    QCOMPARE(list->item(0)->text(),
             QString::fromUtf8("take.wav                            1.500 ～    3.250    1.750 秒 "));
    QCOMPARE(m_app->ctx.state.EDITCOUNT, int16_t(1));
    QCOMPARE(m_app->ctx.state.EDITDATA[0], (EditDataRow{66150, 143325, 1500, 3250, 1, 0, 0, 0}));
    QCOMPARE(m_app->ui.selected(), -1);
  }

  void draggingTheStartMarker() {
    QListWidget* list = m_app->ui.window().list();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(0)).center());
    QCOMPARE(m_app->ui.scrollPos(), 1);
    QWidget* form = m_app->ui.widget(Control::MAINFORM);
    auto at = [&](int x, int y) { return form->mapTo(&m_app->ui.window(), QPoint(x, y)); };
    const ControlInfo& pic = controlInfo(Control::PICTURE1);
    QTest::mouseMove(handle(), at(pic.left + 300, pic.top - 2));
    QCOMPARE(m_app->ctx.state.DRAGMODE, int16_t(1));
    QTest::mousePress(handle(), Qt::LeftButton, {}, at(pic.left + 300, pic.top - 2));
    // Over the picture the captured mouse still reaches the main window.
    QTest::mouseMove(handle(), at(pic.left + 150, pic.top + 40));
    QTest::mouseRelease(handle(), Qt::LeftButton, {}, at(pic.left + 150, pic.top + 40));
    QCOMPARE(list->item(0)->text(),
             QString::fromUtf8("take.wav                            1.250 ～    3.250    2.000 秒 "));
    QCOMPARE(m_app->ctx.state.EDITDATA[0][0], 55125);
    QCOMPARE(list->currentRow(), 0);
  }

  void cleanupTestCase() { m_app.reset(); }
};

}  // namespace pelisto::qttest

PELISTO_QT_TEST_MAIN(pelisto::qttest::EditListMouseTest)
#include "editlist_mouse_test.moc"
