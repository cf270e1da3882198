// The real window, driven offscreen: layout, menu, start-up drawing, the
// standard dialogs answered as a user would, and mouse routing.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <fstream>
#include <thread>
#include <vector>

#include "app/events.h"
#include "app/handlers.h"
#include "platform/qt/qt_ui.h"
#include "wave/wav_bytes.h"
#include "wave/wave_header.h"

namespace pelisto {
namespace {

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

void answerFileDialog(const QString& path) {
  whenModal<QFileDialog>([path](QFileDialog* d) {
    d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
    QMetaObject::invokeMethod(d, "accept");
  });
}

QColor rgb(Rgb c) { return QColor(c.r, c.g, c.b); }

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<FileSystem> m_fs = newPosixFileSystem();
  SilentMci m_mci;
  std::unique_ptr<QtUi> m_ui;
  std::unique_ptr<AppContext> m_ctx;
  std::vector<Event> m_events;
  bool m_dispatch = true;
  QTemporaryDir m_dir;

  QWidget* find(const char* name) {
    return m_ui->window().findChild<QWidget*>(QString::fromLatin1(name));
  }
  QString writeFile(const QString& name, const std::vector<uint8_t>& bytes) {
    const QString path = m_dir.filePath(name);
    std::ofstream(path.toStdString(), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
  }
  // A point of widget w in the coordinates of the top-level window.
  QPoint inWindow(QWidget* w, QPoint p) { return w->mapTo(&m_ui->window(), p); }
  QWindow* handle() { return m_ui->window().windowHandle(); }

 private slots:
  void initTestCase() {
    QVERIFY(m_dir.isValid());
    m_ui = std::make_unique<QtUi>();
    m_ctx = std::make_unique<AppContext>(*m_ui, *m_fs, m_mci);
    m_ui->setEventSink([this](const Event& e) {
      m_events.push_back(e);
      if (m_dispatch) dispatchEvent(*m_ctx, e);
    });
    m_ui->window().show();
    QVERIFY(QTest::qWaitForWindowExposed(&m_ui->window()));
    MAINFORM_START(*m_ctx);
  }

  void init() {
    m_events.clear();
    m_dispatch = true;
  }

  void everyControlAtItsPlace() {
    QWidget* form = m_ui->widget(Control::MAINFORM);
    QCOMPARE(form->size(), QSize(kMainClientWidth, kMainClientHeight));
    QCOMPARE(m_ui->window().minimumSize(), m_ui->window().maximumSize());  // not resizable
    QCOMPARE(m_ui->window().windowTitle(), QStringLiteral("Pelisto"));
    QObject* previous = nullptr;
    for (const ControlInfo& info : mainFormControls()) {
      QWidget* w = find(info.name);
      QVERIFY2(w, info.name);
      QCOMPARE(w->parentWidget(), form);
      QCOMPARE(w->geometry(), QRect(info.left, info.top, info.width, info.height));
      const QString caption = QString::fromUtf8(info.caption);
      if (auto* b = qobject_cast<QPushButton*>(w)) QCOMPARE(b->text(), caption);
      if (auto* l = qobject_cast<QLabel*>(w)) QCOMPARE(l->text(), caption);
      // Created in table order: each is stacked above the one before.
      if (previous) {
        const QObjectList& kids = form->children();
        QVERIFY(kids.indexOf(previous) < kids.indexOf(w));
      }
      previous = w;
    }
    // The picture's client area sits inside its one-pixel border.
    QWidget* client = m_ui->window().pictureClient();
    QCOMPARE(client->geometry(), QRect(1, 1, kPictureClientWidth, kPictureClientHeight));
  }

  void fontsUseTheJapaneseFaces() {
    struct Case {
      Control control;
      const char* family;
      int pixels;
    } cases[] = {{Control::BUTTON1, "IPAPGothic", 13},
                 {Control::EDIT1, "IPAPGothic", 13},
                 {Control::LIST1, "IPAMincho", 12},
                 {Control::PICTURE1, "IPAPGothic", 14}};
    for (const Case& c : cases) {
      const QFont f = m_ui->widget(c.control)->font();
      QCOMPARE(QFontInfo(f).family(), QString::fromLatin1(c.family));
      QCOMPARE(f.pixelSize(), c.pixels);
    }
    QCOMPARE(QFontInfo(qtFont(FontSpec{"ＭＳ ゴシック", 16, 1})).family(), QStringLiteral("IPAGothic"));
    QVERIFY(QFontInfo(qtFont(FontSpec{"FixedSys", 18, 1})).fixedPitch());
  }

  void menuHasItsItemsAndCaptions() {
    const QList<QAction*> menus = m_ui->window().menuBar()->actions();
    QCOMPARE(menus.size(), 3);
    QStringList shown;
    for (QAction* m : menus) {
      shown << m->text() + ":";
      for (QAction* a : m->menu()->actions()) shown << (a->isSeparator() ? "-" : a->text());
    }
    QCOMPARE(shown, QStringList({"ファイル:", "waveファイルを開く", "-", "プロジェクトを開く",
                                 "プロジェクトの保存", "表示:", "グラフの高速表示を優先",
                                 "ヘルプ:", "著作権表示"}));
    QCOMPARE(m_ui->window().action(MenuItem::Copyright)->data().toInt(), 0x104);
  }

  void checkMarkChangesOnlyThroughTheProgram() {
    m_dispatch = false;
    QAction* fast = m_ui->window().action(MenuItem::GrapgFast);
    QVERIFY(fast->isCheckable());
    fast->trigger();
    QCOMPARE(fast->isChecked(), false);
    QCOMPARE(m_events.size(), size_t(1));
    QCOMPARE(handlerName(m_events[0]), std::string("GRAPGFAST_ON"));
    m_ui->setChecked(MenuItem::GrapgFast, true);
    fast->trigger();
    QVERIFY(fast->isChecked());
    QVERIFY(m_ui->isChecked(MenuItem::GrapgFast));
    m_ui->setChecked(MenuItem::GrapgFast, false);
    QVERIFY(!fast->isChecked());
  }

  void startUpDrawingIsShown() {
    const Rgb face = m_ui->systemColor(SystemColor::kButtonFace);
    QCOMPARE(rgb(face), QApplication::palette().color(QPalette::Button));
    Canvas& form = m_ui->canvas(Control::MAINFORM);
    QCOMPARE(form.palette(14), face);
    const QImage shot = m_ui->widget(Control::MAINFORM)->grab().toImage();
    QCOMPARE(shot.pixelColor(5, 0), QColor(128, 128, 128));
    QCOMPARE(shot.pixelColor(5, 1), QColor(255, 255, 255));
    QCOMPARE(shot.pixelColor(5, 300), rgb(face));
    for (Control label : {Control::TEXT1, Control::TEXT2, Control::TEXT3}) {
      QVERIFY(!m_ui->isVisible(label));
      // The caption is drawn where the label was: ink in its rectangle.
      const ControlInfo& info = controlInfo(label);
      int ink = 0;
      for (int y = info.top; y < info.top + info.height; ++y) {
        for (int x = info.left; x < info.left + info.width; ++x) {
          if (shot.pixelColor(x, y) != rgb(face)) ++ink;
        }
      }
      QVERIFY2(ink > 20, info.name);
    }
    // The centre line of the empty picture, in the picture's colour 14.
    const QImage picture = m_ui->window().pictureClient()->grab().toImage();
    QCOMPARE(picture.pixelColor(300, 63), QColor(192, 192, 192));
    QCOMPARE(picture.pixelColor(300, 62), QColor(255, 255, 255));
  }

  void openingAFileThroughTheRealDialog() {
    std::vector<uint8_t> bytes = canonicalWavHeader(441000);
    bytes.resize(44 + 441000, 0);
    const QString path = writeFile(QStringLiteral("good.wav"), bytes);
    answerFileDialog(path);
    m_ui->window().action(MenuItem::OpenWaveFile)->trigger();
    QCOMPARE(m_ui->text(Control::EDIT1), std::string("0 分 2秒"));
    QCOMPARE(m_ui->window().edit(Control::EDIT1)->text(), QStringLiteral("0 分 2秒"));
    QCOMPARE(m_ui->scrollMin(), 0);
    QCOMPARE(m_ui->scrollMax(), 3);
    QCOMPARE(QString::fromStdString(m_ctx->state.WAVEFILENAME), path);
    QVERIFY(waveFileOpen(*m_ctx));
  }

  void aRejectedFileShowsTheStopBox() {
    std::vector<uint8_t> bytes = canonicalWavHeader(1000);
    bytes[3] = 'X';  // "RIFX"
    const QString path = writeFile(QStringLiteral("bad.wav"), bytes);
    QString text, title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    answerFileDialog(path);
    whenModal<QMessageBox>([&](QMessageBox* box) {
      text = box->text();
      title = box->windowTitle();
      icon = box->icon();
      box->button(QMessageBox::Ok)->click();
    });
    m_ui->window().action(MenuItem::OpenWaveFile)->trigger();
    QCOMPARE(text, QString::fromUtf8(kMsgNotRiff));
    QCOMPARE(title, QStringLiteral("Pelisto V0.1"));
    QCOMPARE(icon, QMessageBox::Critical);
    QCOMPARE(m_ctx->state.WAVEFNUM, int16_t(0));
  }

  void cancelledDialogsReturnTheCancelMark() {
    whenModal<QFileDialog>([](QFileDialog* d) { d->reject(); });
    QCOMPARE(m_ui->fileDialog(FileDialogSpec{"t", "waveファイル(*.wav)", "*.wav", false}),
             kCancelMark);
    QString caption, prompt;
    int maxLength = 0;
    whenModal<QDialog>([&](QDialog* d) {
      caption = d->windowTitle();
      prompt = d->findChild<QLabel*>(QStringLiteral("prompt"))->text();
      auto* field = d->findChild<QLineEdit*>(QStringLiteral("field"));
      maxLength = field->maxLength();
      QCOMPARE(field->text(), QStringLiteral("1"));
      d->close();
    });
    QCOMPARE(m_ui->inputBox("ループ回数", "回数を入力", "1"), kCancelMark);
    QCOMPARE(caption, QStringLiteral("ループ回数"));
    QCOMPARE(prompt, QStringLiteral("回数を入力"));
    QCOMPARE(maxLength, 64);
    whenModal<QDialog>([](QDialog* d) {
      d->findChild<QLineEdit*>(QStringLiteral("field"))->setText(QStringLiteral("12"));
      d->accept();
    });
    QCOMPARE(m_ui->inputBox("c", "p", ""), std::string("12"));
  }

  void questionAnswers() {
    struct Case {
      QMessageBox::StandardButton press;  // NoButton: the box is closed
      Answer expected;
    } cases[] = {{QMessageBox::Yes, Answer::kYes},
                 {QMessageBox::No, Answer::kNo},
                 {QMessageBox::Cancel, Answer::kCancel},
                 {QMessageBox::NoButton, Answer::kCancel}};
    for (const Case& c : cases) {
      QMessageBox::Icon icon = QMessageBox::NoIcon;
      whenModal<QMessageBox>([&icon, c](QMessageBox* box) {
        icon = box->icon();
        if (c.press == QMessageBox::NoButton) box->close();
        else box->button(c.press)->click();
      });
      QCOMPARE(m_ui->question("Pelisto V0.1", "保存しますか"), c.expected);
      QCOMPARE(icon, QMessageBox::Question);
    }
  }

  void scrollBarMovesRaiseOneChange() {
    m_dispatch = false;
    m_ui->setScrollRange(0, 40);
    m_ui->setScrollPos(2);
    QScrollBar* bar = m_ui->window().scrollBar();
    QVERIFY(m_events.empty());  // the program's own moves raise nothing
    QVERIFY(!bar->hasTracking());
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(m_ui->scrollPos(), 3);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(m_ui->scrollPos(), 19);
    QCOMPARE(m_events.size(), size_t(2));
    QCOMPARE(handlerName(m_events[1]), std::string("HSCROLL1_CHANGE"));
    // A thumb drag raises one change, on release, at the final position.
    bar->setSliderDown(true);
    bar->setSliderPosition(25);
    bar->setSliderPosition(30);
    QCOMPARE(m_events.size(), size_t(2));
    bar->setSliderDown(false);
    QCOMPARE(m_events.size(), size_t(3));
    QCOMPARE(m_ui->scrollPos(), 30);
    m_ui->setScrollPos(99);
    QCOMPARE(m_ui->scrollPos(), 40);
    m_ui->setScrollRange(0, 0);
  }

  void listLinesAndClicks() {
    m_dispatch = false;
    m_ui->clearLines();
    m_ui->addLine("a");
    m_ui->addLine("c");
    m_ui->insertLine(1, "b  ");
    QCOMPARE(m_ui->lineCount(), 3);
    QCOMPARE(m_ui->line(1), std::string("b  "));
    QCOMPARE(m_ui->selected(), -1);
    m_ui->select(2);
    m_ui->insertLine(0, "z");
    QCOMPARE(m_ui->selected(), 3);
    m_ui->removeLine(3);
    QCOMPARE(m_ui->selected(), -1);
    QVERIFY(m_events.empty());
    ListBox* list = m_ui->window().list();
    const QPoint at = list->visualItemRect(list->item(1)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(m_ui->selected(), 1);
    QCOMPARE(m_events.size(), size_t(1));
    QCOMPARE(handlerName(m_events[0]), std::string("LIST1_CLICK"));
    m_ui->clearLines();
  }

  void mouseReachesPictureAndForm() {
    m_dispatch = false;
    QWidget* client = m_ui->window().pictureClient();
    QWidget* form = m_ui->widget(Control::MAINFORM);
    QTest::mouseMove(handle(), inWindow(client, QPoint(10, 20)));
    QTest::mousePress(handle(), Qt::LeftButton, {}, inWindow(client, QPoint(12, 30)));
    QTest::mouseRelease(handle(), Qt::LeftButton, {}, inWindow(client, QPoint(12, 30)));
    // The form's own moves and releases, outside the controls.
    QTest::mouseMove(handle(), inWindow(form, QPoint(30, 400)));
    // Captured by the form: moves over the picture are the form's.
    m_ui->captureMouse(Control::MAINFORM);
    QTest::mouseMove(handle(), inWindow(client, QPoint(50, 5)));
    QTest::mouseRelease(handle(), Qt::LeftButton, {}, inWindow(client, QPoint(50, 5)));
    m_ui->releaseMouse();
    QStringList seen;
    for (const Event& e : m_events) {
      seen << QString::fromStdString(handlerName(e)) +
                  QStringLiteral(" %1 %2 %3").arg(e.button).arg(e.x).arg(e.y);
    }
    QCOMPARE(seen, QStringList({"PICTURE1_MOUSEMOVE 0 10 20", "PICTURE1_MOUSEMOVE 0 12 30",
                                "PICTURE1_MOUSEDOWN 1 12 30",
                                "MAINFORM_MOUSEMOVE 0 30 400", "MAINFORM_MOUSEMOVE 0 155 78",
                                "MAINFORM_MOUSEUP 1 155 78"}));
  }

  void textRendererWidthFactor() {
    Canvas canvas(200, 40);
    QtTextRenderer renderer;
    canvas.setTextRenderer(&renderer);
    auto inkColumns = [&canvas](int y0) {
      int lo = canvas.width(), hi = -1;
      for (int y = y0; y < y0 + 20; ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
          if (canvas.pixel(x, y) != Rgb{255, 255, 255}) lo = std::min(lo, x), hi = std::max(hi, x);
        }
      }
      return std::pair{lo, hi};
    };
    canvas.drawText(10, 0, "ABC", FontSpec{"ＭＳ 明朝", 16, 1}, Rgb{0, 0, 0});
    canvas.drawText(10, 20, "ABC", FontSpec{"ＭＳ 明朝", 16, 2}, Rgb{0, 0, 0});
    const auto [lo1, hi1] = inkColumns(0);
    const auto [lo2, hi2] = inkColumns(20);
    QVERIFY(lo1 >= 10 && lo2 >= 10 && lo1 < 14);
    const double ratio = double(hi2 - 10) / double(hi1 - 10);
    QVERIFY2(ratio > 1.8 && ratio < 2.2, qPrintable(QString::number(ratio)));
  }

  void aboutWindowIsModalAndEndsByItsButton() {
    QSize client;
    QString title;
    QRect button;
    whenModal<AboutDialog>([&](AboutDialog* d) {
      client = d->size();
      title = d->windowTitle();
      button = d->button()->geometry();
      QVERIFY(!m_ui->window().isEnabled() || QApplication::activeModalWidget() == d);
      d->button()->click();
    });
    m_ui->window().action(MenuItem::Copyright)->trigger();
    QCOMPARE(client, QSize(kForm3ClientWidth, kForm3ClientHeight));
    QCOMPARE(title, QStringLiteral("著作権表示"));
    QCOMPARE(button, QRect(368, 256, 80, 24));
    QCOMPARE(m_ui->aboutDialog(), nullptr);
    QCOMPARE(m_events.size(), size_t(2));  // COPYRIGHT_ON, then BUTTON13_ON inside it
    QCOMPARE(handlerName(m_events[1]), std::string("BUTTON13_ON"));
  }

  void postedEventsArriveInOrder() {
    m_dispatch = false;
    std::thread sound([this] {
      for (int i = 0; i < 3; ++i) m_ui->post(Event{EventKind::kMciDone, Control::MCI1, {}, i});
    });
    sound.join();
    QVERIFY(m_events.empty());  // never delivered on the posting thread
    QCoreApplication::processEvents();
    QCOMPARE(m_events.size(), size_t(3));
    for (int i = 0; i < 3; ++i) {
      QCOMPARE(handlerName(m_events[i]), std::string("MCI1_DONE"));
      QCOMPARE(m_events[i].button, i);
    }
  }

  void busyHoldsOffInput() {
    m_dispatch = false;
    QWidget* button = m_ui->widget(Control::BUTTON1);
    {
      std::unique_ptr<BusyScope> busy = m_ui->beginBusy("読み込み中", true);
      QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
      QCOMPARE(QWidget::mouseGrabber(), m_ui->widget(Control::MAINFORM));
      QTest::mouseClick(button, Qt::LeftButton);
      QTest::keyClick(m_ui->widget(Control::EDIT2), Qt::Key_A);
      QVERIFY(busy->update(1, 2));
    }
    QVERIFY(m_events.empty());
    QCOMPARE(m_ui->text(Control::EDIT2), std::string());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QCOMPARE(QWidget::mouseGrabber(), nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(m_events.size(), size_t(1));
  }

  void aboutCanvasIsPaintedBeforeItShows() {
    QColor seen;
    whenModal<AboutDialog>([&](AboutDialog* d) {
      seen = d->grab().toImage().pixelColor(10, 100);
      m_ui->closeAbout(0);
    });
    m_ui->showAbout([](Canvas& c) { c.fillBox(0, 0, c.width(), c.height(), Rgb{0, 0, 200}); });
    QCOMPARE(seen, QColor(0, 0, 200));
  }

  void noticeDoesNotHoldUpTheCaller() {
    m_ui->notice("サウンドデバイスがありません");
    QCoreApplication::processEvents();
    auto* box = m_ui->window().findChild<QMessageBox*>(QStringLiteral("notice"));
    QVERIFY(box && box->isVisible());
    QCOMPARE(box->text(), QStringLiteral("サウンドデバイスがありません"));
    box->close();
  }

  void cleanupTestCase() {
    const QByteArray dir = qgetenv("PELISTO_ARTIFACTS");
    if (!dir.isEmpty() && QDir().mkpath(QString::fromLocal8Bit(dir))) {
      QVERIFY(m_ui->window().grab().save(QString::fromLocal8Bit(dir) + "/main_window.png"));
    }
    m_ui->window().close();
    QVERIFY(m_ui->window().closed());
  }
};

}  // namespace pelisto

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir runtime;
  if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
  QApplication app(argc, argv);
  pelisto::MainWindowTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "main_window_test.moc"
