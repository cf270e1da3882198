// Scrolling the real window with the mouse: HSCROLL1's arrows, clicks in
// its trough and a thumb drag, each checked by the position text, the
// number of changes raised and the second drawn in the picture.
#include <QDir>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionSlider>

#include <cmath>
#include <fstream>
#include <numbers>

#include "desktop_fixture.h"
#include "platform/coding.h"
#include "platform/riff.h"

namespace pelisto::qttest {
namespace {

constexpr int kBytesPerSecond = 176400;
constexpr int kBlock = 1764;
// 20.5 seconds: the scroll bar's last position lies past the sound.
constexpr int kDataSize = 20 * kBytesPerSecond + kBytesPerSecond / 2;
constexpr int kLastPos = 21;

// A slow sine, louder every second, so that no two seconds draw alike;
// the right channel is the left one halved and inverted.
std::vector<uint8_t> testData() {
  std::vector<uint8_t> data(kDataSize);
  for (int i = 0; i < kDataSize / 4; ++i) {
    const int second = i / 44100;
    const double amplitude = 2000.0 + 1400.0 * second;
    const auto left = int16_t(std::lround(amplitude * std::sin(2 * std::numbers::pi * 2.0 * i / 44100.0)));
    const auto right = int16_t(-left / 2);
    putLe16(&data[4 * i], uint16_t(left));
    putLe16(&data[4 * i + 2], uint16_t(right));
  }
  return data;
}

// The row of PICTURE1 where column x of second s lies: the high byte at
// offset 1 + 294 m of 10-ms block k (x = 6 k + m), v = b or b - 255 from
// 128 up, y = 63 + v / 2 with halves rounded to even. Past the data: row 63.
int expectedRow(const std::vector<uint8_t>& data, int second, int x) {
  const size_t at = size_t(second) * kBytesPerSecond + size_t(x / 6) * kBlock + 1 + 294 * (x % 6);
  const int b = at < data.size() ? data[at] : 0;
  const int v = b < 128 ? b : b - 255;
  return int(std::nearbyint(63 + v / 2.0));
}

// QScrollBar keeps its style option to itself; this reaches the real one
// (with the window's own thumb size) through a member pointer.
struct OptionOpener : QScrollBar {
  using QScrollBar::initStyleOption;
};

}  // namespace

class ScrollWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<Desktop> m_app;
  QTemporaryDir m_dir;
  std::vector<uint8_t> m_data;

  QScrollBar* bar() { return m_app->ui.window().scrollBar(); }
  QRect part(QStyle::SubControl sc) {
    QStyleOptionSlider option;
    void (QScrollBar::*init)(QStyleOptionSlider*) const = &OptionOpener::initStyleOption;
    (bar()->*init)(&option);
    return bar()->style()->subControlRect(QStyle::CC_ScrollBar, &option, sc, bar());
  }
  int changes() const {
    int n = 0;
    for (const Event& e : m_app->events) n += handlerName(e) == "HSCROLL1_CHANGE";
    return n;
  }
  void click(QStyle::SubControl sc) {
    QTest::mouseClick(bar(), Qt::LeftButton, {}, part(sc).center());
  }
  // Every visible column of the picture has the waveform's colour on the
  // row computed from the file for that second.
  void checkShows(int second) {
    const QColor ink = rgb(m_app->ui.canvas(Control::PICTURE1).palette(3));
    const QImage picture = m_app->ui.window().pictureClient()->grab().toImage();
    QCOMPARE(picture.width(), kPictureClientWidth);
    int wrong = 0;
    for (int x = 0; x < kPictureClientWidth; ++x) {
      if (picture.pixelColor(x, expectedRow(m_data, second, x)) != ink) ++wrong;
    }
    QVERIFY2(wrong == 0, qPrintable(QStringLiteral("second %1: %2 columns off").arg(second).arg(wrong)));
    // Two columns worked out by hand: second 7, column 66 is block 11 at
    // offset 1, the left high byte of frame 4851; column 67 is offset 295,
    // the right high byte of frame 4924. Neither lies on the zero line.
    if (second == 7) {
      const struct {
        int x, frame, byte;
      } columns[] = {{66, 4851, 1}, {67, 4924, 3}};
      for (const auto& c : columns) {
        const int b = m_data[4 * (7 * 44100 + c.frame) + c.byte];
        const int v = b < 128 ? b : b - 255;
        QVERIFY(v != 0);
        QCOMPARE(picture.pixelColor(c.x, int(std::nearbyint(63 + v / 2.0))), ink);
      }
    }
  }
  void checkAt(int pos) {
    QCOMPARE(bar()->value(), pos);
    QCOMPARE(m_app->ui.window().edit(Control::EDIT2)->text(),
             QStringLiteral("%1 分 %2 秒目").arg(pos / 60).arg(pos % 60));
    checkShows(pos);
  }

 private slots:
  void initTestCase() {
    QVERIFY(m_dir.isValid());
    m_data = testData();
    m_app = std::make_unique<Desktop>();
    QVERIFY(QTest::qWaitForWindowExposed(&m_app->ui.window()));
    std::vector<uint8_t> bytes = riff::canonicalHeader(kDataSize);
    bytes.insert(bytes.end(), m_data.begin(), m_data.end());
    const QString path = m_dir.filePath(QStringLiteral("levels.wav"));
    std::ofstream(path.toStdString(), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    answerFileDialog(path);
    m_app->ui.window().action(MenuItem::OpenWaveFile)->trigger();
    QCOMPARE(m_app->ui.text(Control::EDIT1), std::string("0 分 20秒"));
    QCOMPARE(bar()->maximum(), kLastPos);
    QCOMPARE(bar()->value(), 0);
    checkShows(0);
  }
  void init() { m_app->reset(true); }

  void arrowsMoveOneSecond() {
    click(QStyle::SC_ScrollBarAddLine);
    QCOMPARE(changes(), 1);
    checkAt(1);
    click(QStyle::SC_ScrollBarAddLine);
    click(QStyle::SC_ScrollBarAddLine);
    QCOMPARE(changes(), 3);
    checkAt(3);
    click(QStyle::SC_ScrollBarSubLine);
    QCOMPARE(changes(), 4);
    checkAt(2);
    click(QStyle::SC_ScrollBarSubLine);
    click(QStyle::SC_ScrollBarSubLine);
    checkAt(0);
    // At the start, the left arrow changes nothing and raises nothing.
    click(QStyle::SC_ScrollBarSubLine);
    QCOMPARE(changes(), 6);
    checkAt(0);
  }

  void troughClicksMoveSixteenClampedAtTheEnds() {
    struct Step {
      QStyle::SubControl where;
      int pos;
    } steps[] = {{QStyle::SC_ScrollBarAddPage, 16},
                 {QStyle::SC_ScrollBarAddPage, kLastPos},  // clamped
                 {QStyle::SC_ScrollBarSubPage, kLastPos - 16},
                 {QStyle::SC_ScrollBarSubPage, 0}};  // clamped
    int expected = 0;
    for (const Step& s : steps) {
      const QRect trough = part(s.where);
      QVERIFY(trough.isValid());
      click(s.where);
      QCOMPARE(changes(), ++expected);
      checkAt(s.pos);
    }
  }

  void lastPositionPastTheSoundIsAFlatLine() {
    bar()->triggerAction(QAbstractSlider::SliderToMaximum);
    checkAt(kLastPos);
    const QImage picture = m_app->ui.window().pictureClient()->grab().toImage();
    const QColor ink = rgb(m_app->ui.canvas(Control::PICTURE1).palette(3));
    for (int x : {0, 299, 597}) {
      QCOMPARE(picture.pixelColor(x, 63), ink);
      QCOMPARE(picture.pixelColor(x, 62), QColor(255, 255, 255));
      QCOMPARE(picture.pixelColor(x, 64), QColor(255, 255, 255));
    }
    bar()->triggerAction(QAbstractSlider::SliderToMinimum);
    checkAt(0);
  }

  void thumbDragChangesOnceOnRelease() {
    const QRect groove = part(QStyle::SC_ScrollBarGroove);
    const QRect thumb = part(QStyle::SC_ScrollBarSlider);
    QVERIFY(thumb.width() < groove.width() / 4);
    const int target = 10;
    const int left = groove.left() + QStyle::sliderPositionFromValue(
                                         0, kLastPos, target, groove.width() - thumb.width());
    const QPoint from = thumb.center();
    const QPoint to = from + QPoint(left - thumb.left(), 0);

    QTest::mousePress(bar(), Qt::LeftButton, {}, from);
    QVERIFY(bar()->isSliderDown());
    for (int i = 1; i <= 8; ++i) {
      const QPoint at = from + (to - from) * i / 8;
      QMouseEvent move(QEvent::MouseMove, at, bar()->mapToGlobal(at), Qt::NoButton,
                       Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(bar(), &move);
    }
    // The thumb follows the mouse, but nothing changes before the release.
    QCOMPARE(bar()->sliderPosition(), target);
    QCOMPARE(changes(), 0);
    QCOMPARE(m_app->ui.window().edit(Control::EDIT2)->text(), QStringLiteral("0 分 0 秒目"));
    checkShows(0);
    QTest::mouseRelease(bar(), Qt::LeftButton, {}, to);
    QCOMPARE(changes(), 1);
    checkAt(target);

    // Dragged back to where it started: no change at all.
    const QPoint start = part(QStyle::SC_ScrollBarSlider).center();
    QTest::mousePress(bar(), Qt::LeftButton, {}, start);
    QMouseEvent away(QEvent::MouseMove, start + QPoint(60, 0), bar()->mapToGlobal(start + QPoint(60, 0)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(bar(), &away);
    QMouseEvent back(QEvent::MouseMove, start, bar()->mapToGlobal(start), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(bar(), &back);
    QTest::mouseRelease(bar(), Qt::LeftButton, {}, start);
    QCOMPARE(changes(), 1);
    checkAt(target);
  }

  void keysGoTheNaturalWayAndFocusIsShown() {
    auto framed = [this] {  // the highlight on the top and the left edge
      const QImage shot = bar()->grab().toImage();
      const QColor h = bar()->palette().color(QPalette::Highlight);
      return shot.pixelColor(bar()->width() / 2, 0) == h && shot.pixelColor(0, 8) == h;
    };
    QVERIFY(!framed());
    m_app->ui.window().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&m_app->ui.window()));
    bar()->setFocus(Qt::TabFocusReason);
    QVERIFY(framed());
    bar()->triggerAction(QAbstractSlider::SliderToMinimum);
    const std::pair<Qt::Key, int> steps[] = {{Qt::Key_Right, 1}, {Qt::Key_PageDown, 17},
                                             {Qt::Key_Left, 16}, {Qt::Key_PageUp, 0},
                                             {Qt::Key_PageDown, 16}, {Qt::Key_PageDown, kLastPos}};
    for (auto [key, pos] : steps) {
      QTest::keyClick(bar(), key);
      checkAt(pos);
    }
    QCOMPARE(changes(), 7);
  }

  void cleanupTestCase() {
    bar()->setValue(7);  // a second with a tall waveform for the picture
    checkAt(7);
    const QByteArray dir = qgetenv("PELISTO_ARTIFACTS");
    if (!dir.isEmpty() && QDir().mkpath(QString::fromLocal8Bit(dir))) {
      QVERIFY(m_app->ui.window().grab().save(QString::fromLocal8Bit(dir) + "/scroll_window.png"));
    }
    m_app->reset(false);
    m_app->ui.window().close();
  }
};

}  // namespace pelisto::qttest

PELISTO_QT_TEST_MAIN(pelisto::qttest::ScrollWindowTest)

#include "scroll_window_test.moc"
