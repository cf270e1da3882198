// The desktop's boxes, dialogs and windows besides the main window: their
// answers, paths typed into a file dialog, the folders and the window
// place remembered, the about window, busy work, notices, completions
// posted from another thread, and text drawn into a canvas.
#include <QAbstractItemView>
#include <QCompleter>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>

#include <thread>

#include "desktop_fixture.h"
#include "qt/desktop_settings.h"

namespace pelisto::qttest {

// The canvases a window of the program shows, as the user interface
// makes them.
struct Canvases {
  std::map<Control, std::unique_ptr<Canvas>> all;
  Canvases() {
    all[Control::MAINFORM] = std::make_unique<Canvas>(kMainClientWidth, kMainClientHeightWithOverview);
    for (const ControlInfo& c : mainFormControls()) {
      if (c.kind == ControlKind::kPicture) all[c.id] = std::make_unique<Canvas>(canvasWidth(c), canvasHeight(c));
    }
  }
  std::function<Canvas&(Control)> of() {
    return [this](Control id) -> Canvas& { return *all.at(id); };
  }
};

class DialogsTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<Desktop> m_app;

 private slots:
  void initTestCase() { m_app = std::make_unique<Desktop>(); }
  void init() { m_app->reset(true); }

  void cancelledDialogsReturnNothing() {
    whenModal<QFileDialog>([](QFileDialog* d) { d->reject(); });
    QVERIFY(!m_app->ui.fileDialog(FileDialogSpec{"t", "waveファイル(*.wav)", "*.wav", false}));
    QString caption, prompt;
    int maxLength = 0;
    whenModal<QDialog>([&](QDialog* d) {
      caption = d->windowTitle();
      auto* label = d->findChild<QLabel*>(QStringLiteral("prompt"));
      prompt = label->text();
      // On one line, never broken inside a word, the box wide enough.
      QVERIFY(!label->wordWrap() && label->width() >= label->sizeHint().width());
      auto* field = d->findChild<QLineEdit*>(QStringLiteral("field"));
      maxLength = field->maxLength();
      QCOMPARE(field->text(), QStringLiteral("1"));
      d->close();
    });
    const char* blank = "ブランク秒数を「NNNN.NNN」形式で入力してください";
    QVERIFY(!m_app->ui.inputBox("ブランクの挿入", blank, "1"));
    QCOMPARE(caption, QStringLiteral("ブランクの挿入"));
    QCOMPARE(prompt, QString::fromUtf8(blank));
    QCOMPARE(maxLength, 64);
    whenModal<QDialog>([](QDialog* d) {
      d->findChild<QLineEdit*>(QStringLiteral("field"))->setText(QStringLiteral("12"));
      d->accept();
    });
    QCOMPARE(m_app->ui.inputBox("c", "p", "").value_or("(cancelled)"), std::string("12"));
  }

  // A full path typed into the name field character by character while
  // the completion list shows, then Enter; a folder is entered on the way.
  void typedFullPaths() {
    QTemporaryDir dir;
    const QString rec = dir.filePath(QStringLiteral("rec"));
    QVERIFY(QDir().mkpath(rec) && QFile(rec + "/take1.wav").open(QIODevice::WriteOnly));
    const struct { bool save; QStringList lines; QString chosen; } cases[] = {
        {false, {rec + "/take1.wav"}, rec + "/take1.wav"},
        {false, {rec, "take1.wav"}, rec + "/take1.wav"},
        {true, {rec + "/new.wav"}, rec + "/new.wav"}};
    for (const auto& c : cases) {
      bool listShown = false;
      whenModal<QFileDialog>([&](QFileDialog* d) {
        auto* list = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->completer()->popup();
        for (const QString& line : c.lines) {
          for (QChar ch : line) {
            QTest::keyClick(d->windowHandle(), ch.toLatin1());
            QTest::qWait(5);
            listShown = listShown || list->isVisible();
          }
          QTest::keyClick(d->windowHandle(), Qt::Key_Return);
        }
        if (d->isVisible()) d->reject();
      });
      QCOMPARE(QString::fromStdString(m_app->ui.fileDialog({"t", "w(*.wav)", "*.wav", c.save}).value_or("")),
               c.chosen);
      QVERIFY(listShown);
    }
    // Waves start where the last wave was chosen, projects where the last
    // project was; a folder gone or a damaged record: the current one.
    QCOMPARE(startFolder(folderKind("*.wav")), rec);
    QCOMPARE(startFolder(folderKind("*.PRJ")), QDir::currentPath());
    rememberFolder(QStringLiteral("wave"), dir.filePath(QStringLiteral("gone/x.wav")));
    QCOMPARE(startFolder(QStringLiteral("wave")), QDir::currentPath());
    rememberFolder(QStringLiteral("wave"), rec + "/take1.wav");
    QFile record(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/Pelisto/Pelisto.conf");
    QVERIFY(record.open(QIODevice::WriteOnly) && record.write("\x01[folders\n=wave=\xff\n") > 0);
    record.close();
    QCOMPARE(startFolder(QStringLiteral("wave")), QDir::currentPath());
  }

  // The window reopens where it was closed, unless that is off every screen.
  void windowReopensWhereItWas() {
    Canvases canvases;
    const auto canvasOf = canvases.of();
    for (QPoint at : {QPoint(250, 140), QPoint(-5000, 40)}) {
      MainWindow closed(canvasOf);
      closed.move(at);
      closed.close();
      QCOMPARE(MainWindow(canvasOf).pos(), at.x() < 0 ? QPoint(kMainLeft, kMainTop) : at);
    }
  }

  // A window opening where another is open steps down and right, once for
  // each; a place is free again once its window has closed, or its program
  // ended without saying so.
  void aWindowOpeningOnAnotherStepsAside() {
    Canvases canvases;
    const auto canvasOf = canvases.of();
    rememberWindowPosition(QPoint(300, 200));
    QSettings settings(QStringLiteral("Pelisto"), QStringLiteral("Pelisto"));
    for (const char* corner : {"client", "frame"}) {  // of a process that no longer runs
      settings.setValue(QStringLiteral("open-windows/999999999-1/") + QLatin1String(corner), QPoint(300, 200));
    }
    settings.sync();
    auto first = std::make_unique<MainWindow>(canvasOf);
    QCoreApplication::processEvents();  // a window notes its place once it is shown
    MainWindow second(canvasOf);
    QCoreApplication::processEvents();
    MainWindow third(canvasOf);
    QCOMPARE(first->geometry().topLeft(), QPoint(300, 200));
    QCOMPARE(second.geometry().topLeft(), QPoint(332, 232));
    QCOMPARE(third.geometry().topLeft(), QPoint(364, 264));
    first->close();
    first.reset();
    QCOMPARE(MainWindow(canvasOf).geometry().topLeft(), QPoint(300, 200));
  }

  void saveDialogAsksBeforeReplacing() {
    QTemporaryDir dir;
    const QString existing = dir.filePath(QStringLiteral("out.WAV"));
    QFile(existing).open(QIODevice::WriteOnly);
    bool asked = false;
    whenModal<QFileDialog>([&](QFileDialog* d) {
      QCOMPARE(d->windowTitle(), QStringLiteral("名前を付けて保存"));
      QCOMPARE(d->directory().absolutePath(), QDir::currentPath());
      d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(existing);
      whenModal<QMessageBox>([&](QMessageBox* box) {
        asked = true;
        box->button(QMessageBox::No)->click();
        whenModal<QFileDialog>([](QFileDialog* again) { again->reject(); });
      });
      QMetaObject::invokeMethod(d, "accept");
    });
    QVERIFY(!m_app->ui.fileDialog(FileDialogSpec{"名前を付けて保存", "waveファイル(*.wav)", "*.wav", true}));
    QVERIFY(asked);
  }

  void saveDialogShowsTheProposedFile() {
    QTemporaryDir dir;
    QString folder, name;
    whenModal<QFileDialog>([&](QFileDialog* d) {
      folder = d->directory().absolutePath();
      name = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
      d->reject();
    });
    const std::string proposed = fromQt(dir.filePath(QStringLiteral("take_44k16.wav")));
    m_app->ui.fileDialog(FileDialogSpec{"変換したWaveファイルの保存", "waveファイル(*.wav)", "*.wav", true, proposed});
    QCOMPARE(folder, dir.path());
    QCOMPARE(name, QStringLiteral("take_44k16.wav"));
  }

  // A dialog of several filters shows the one asked for, and tells which
  // one was shown when it was accepted.
  void theChosenFilterComesBack() {
    QTemporaryDir dir;
    FileDialogSpec spec{"Waveファイルの作成", "waveファイル(*.wav)", "*.wav", true, fromQt(dir.path()) + "/"};
    spec.moreFilters = {{"FLACファイル(*.flac)", "*.flac"}, {"MP3ファイル(*.mp3)", "*.mp3"}};
    spec.filter = 1;
    QString shown;
    whenModal<QFileDialog>([&](QFileDialog* d) {
      shown = d->selectedNameFilter();
      d->selectNameFilter(d->nameFilters().at(2));
      d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("talk"));
      QMetaObject::invokeMethod(d, "accept");
    });
    const std::optional<FileChoice> choice = m_app->ui.chooseFile(spec);
    QCOMPARE(shown, QStringLiteral("FLACファイル(*.flac)"));
    QVERIFY(choice);
    QCOMPARE(choice->filter, size_t(2));
    QCOMPARE(QString::fromStdString(choice->path), dir.filePath(QStringLiteral("talk")));
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
      QCOMPARE(m_app->ui.question("Pelisto V0.1", "保存しますか"), c.expected);
      QCOMPARE(icon, QMessageBox::Question);
    }
  }

  // The recovery question: a list chosen among several and restored, all
  // discarded, or kept for later (its button, or the box closed); with one
  // list, no list to choose from.
  void recoveryQuestionAnswers() {
    const struct {
      const char* press;  // null: the box is closed
      size_t lists;
      RecoveryReply::Action action;
      int list;
    } cases[] = {{"restore", 2, RecoveryReply::kRestore, 1}, {"discard", 2, RecoveryReply::kDiscard, 0},
                 {"later", 2, RecoveryReply::kLater, 0}, {nullptr, 2, RecoveryReply::kLater, 0},
                 {"restore", 0, RecoveryReply::kRestore, 0}};
    for (const auto& c : cases) {
      int shown = -1;
      whenModal<QDialog>([&](QDialog* d) {
        auto* lists = d->findChild<QListWidget*>(QStringLiteral("lists"));
        shown = lists->isVisible() ? lists->count() : 0;
        lists->setCurrentRow(lists->count() - 1);
        if (c.press) d->findChild<QPushButton*>(QLatin1String(c.press))->click();
        else d->close();
      });
      const RecoveryReply reply = m_app->ui.askRecovery("Pelisto V0.1", "t", std::vector<std::string>(c.lists, "a.wav"));
      QCOMPARE(shown, int(c.lists));
      QCOMPARE(reply.action, c.action);
      QCOMPARE(reply.list, c.list);
    }
  }

  // Qt wraps a text wider than about 500 pixels between any two Japanese
  // characters: each sentence of the program's text gets a line, whole.
  void boxesKeepTheirSentencesWhole() {
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool modal = false, whole = false;
    whenModal<QMessageBox>([&](QMessageBox* box) {
      text = box->text();
      icon = box->icon();
      modal = box->isModal();
      auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
      whole = !label->wordWrap() && label->width() >= label->sizeHint().width();
      box->button(QMessageBox::Ok)->click();
    });
    m_app->ui.inform("Pelisto V0.1", "変換を終えました。最大音量を超えた 123456 個のサンプルを最大音量に抑えました。"
                                     "最後の文も同じように一行に収まりますか\n/tmp/名前。.wav");
    QCOMPARE(text, QStringLiteral("変換を終えました。\n最大音量を超えた 123456 個のサンプルを最大音量に抑えました。\n"
                                  "最後の文も同じように一行に収まりますか\n/tmp/名前。.wav"));
    QCOMPARE(icon, QMessageBox::Information);
    QVERIFY(modal && whole);
  }

  void aboutWindowIsModalAndEndsByItsButton() {
    QSize client;
    QString title;
    QRect button;
    whenModal<AboutDialog>([&](AboutDialog* d) {
      client = d->size();
      title = d->windowTitle();
      button = d->button()->geometry();
      QVERIFY(!m_app->ui.window().isEnabled() || QApplication::activeModalWidget() == d);
      d->button()->click();
    });
    m_app->ui.window().action(MenuItem::Copyright)->trigger();
    QCOMPARE(client, QSize(kForm3ClientWidth, kForm3ClientHeight));
    QCOMPARE(title, QStringLiteral("著作権表示"));
    QCOMPARE(button, QRect(368, 256, 80, 24));
    QCOMPARE(m_app->ui.aboutDialog(), nullptr);
    QCOMPARE(m_app->events.size(), size_t(2));  // COPYRIGHT_ON, then BUTTON13_ON inside it
    QCOMPARE(handlerName(m_app->events[1]), std::string("BUTTON13_ON"));
  }

  void aboutCanvasIsPaintedBeforeItShows() {
    QColor seen;
    whenModal<AboutDialog>([&](AboutDialog* d) {
      seen = d->grab().toImage().pixelColor(10, 100);
      m_app->ui.closeAbout(0);
    });
    m_app->ui.showAbout([](Canvas& c) { c.fillBox(0, 0, c.width(), c.height(), Rgb{0, 0, 200}); });
    QCOMPARE(seen, QColor(0, 0, 200));
    // Drawing on it after the window is gone is harmless.
    m_app->ui.canvas(Control::FORM3).line(0, 0, 10, 0, 0);
  }

  void busyHoldsOffInput() {
    m_app->reset(false);
    QWidget* button = m_app->ui.widget(Control::BUTTON1);
    {
      std::unique_ptr<BusyScope> busy = m_app->ui.beginBusy("読み込み中", true);
      QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
      QCOMPARE(QWidget::mouseGrabber(), m_app->ui.widget(Control::MAINFORM));
      QTest::mouseClick(button, Qt::LeftButton);
      QTest::keyClick(m_app->ui.widget(Control::EDIT2), Qt::Key_A);
      QVERIFY(busy->update(1, 2));
    }
    QVERIFY(m_app->events.empty());
    QCOMPARE(m_app->ui.text(Control::EDIT2), std::string());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QCOMPARE(QWidget::mouseGrabber(), nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(m_app->events.size(), size_t(1));
  }

  void noticeDoesNotHoldUpTheCaller() {
    m_app->ui.notice("サウンドデバイスがありません");
    QCoreApplication::processEvents();
    auto* box = m_app->ui.window().findChild<QMessageBox*>(QStringLiteral("notice"));
    QVERIFY(box && box->isVisible());
    QCOMPARE(box->text(), QStringLiteral("サウンドデバイスがありません"));
    box->close();
  }

  void postedEventsArriveInOrder() {
    m_app->reset(false);
    std::thread sound([this] {
      for (int i = 0; i < 3; ++i) m_app->ui.post(Event{EventKind::kMciDone, Control::MCI1, {}, i});
    });
    sound.join();
    QVERIFY(m_app->events.empty());  // never delivered on the posting thread
    QCoreApplication::processEvents();
    QCOMPARE(m_app->events.size(), size_t(3));
    for (int i = 0; i < 3; ++i) {
      QCOMPARE(handlerName(m_app->events[i]), std::string("MCI1_DONE"));
      QCOMPARE(m_app->events[i].button, i);
    }
  }

  void textIsDrawnFromItsTopLeftCorner() {
    Canvas canvas(200, 60);
    QtTextRenderer renderer;
    canvas.setTextRenderer(&renderer);
    // The box holding every pixel that is not the white background.
    auto ink = [&canvas](int top, int bottom) {
      QRect box;
      for (int y = top; y < bottom; ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
          if (canvas.pixel(x, y) != Rgb{255, 255, 255}) box |= QRect(x, y, 1, 1);
        }
      }
      return box;
    };
    canvas.drawText(10, 4, "ABC", FontSpec{"ＭＳ 明朝", 16, 1}, Rgb{0, 0, 0});
    canvas.drawText(10, 30, "ABC", FontSpec{"ＭＳ 明朝", 16, 2}, Rgb{0, 0, 0});
    const QRect normal = ink(0, 26);
    const QRect wide = ink(26, 60);
    QVERIFY2(normal.left() >= 10 && normal.left() < 14, qPrintable(QString::number(normal.left())));
    QVERIFY2(normal.top() >= 4 && normal.bottom() < 4 + 16, qPrintable(QString::number(normal.top())));
    QVERIFY(wide.top() >= 30 && wide.bottom() < 30 + 16);
    // Width 2: the same glyphs, twice as wide, at the same height.
    const double ratio = double(wide.right() - 10) / double(normal.right() - 10);
    QVERIFY2(ratio > 1.8 && ratio < 2.2, qPrintable(QString::number(ratio)));
    QVERIFY(qAbs(wide.height() - normal.height()) <= 1);  // smoothing may add a row
  }
};

}  // namespace pelisto::qttest

PELISTO_QT_TEST_MAIN(pelisto::qttest::DialogsTest)

#include "dialogs_test.moc"
