// The real window, driven offscreen: layout, menu, start-up drawing,
// opening files through the real dialog, scroll bar, list and mouse input.
#include <QAction>
#include <QActionGroup>
#include <QDir>
#include <QFontInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>

#include <fstream>

#include "desktop_fixture.h"
#include "qt/qt_event_pump.h"
#include "platform/riff.h"
#include "wave/wave_header.h"

namespace pelisto::qttest {

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<Desktop> m_app;
  QTemporaryDir m_dir;

  QWidget* find(const char* name) {
    return m_app->ui.window().findChild<QWidget*>(QString::fromLatin1(name));
  }
  QString writeFile(const QString& name, const std::vector<uint8_t>& bytes) {
    const QString path = m_dir.filePath(name);
    std::ofstream(path.toStdString(), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
  }
  // A point of widget w in the coordinates of the top-level window.
  QPoint inWindow(QWidget* w, QPoint p) { return w->mapTo(&m_app->ui.window(), p); }
  QWindow* handle() { return m_app->ui.window().windowHandle(); }

 private slots:
  void initTestCase() {
    QVERIFY(m_dir.isValid());
    m_app = std::make_unique<Desktop>();
    QVERIFY(QTest::qWaitForWindowExposed(&m_app->ui.window()));
  }
  void init() { m_app->reset(true); }

  void everyControlAtItsPlace() {
    QWidget* form = m_app->ui.widget(Control::MAINFORM);
    QCOMPARE(form->size(), QSize(kMainClientWidth, kMainClientHeight));
    QCOMPARE(m_app->ui.window().minimumSize(), m_app->ui.window().maximumSize());  // not resizable
    QVERIFY(!(m_app->ui.window().windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(m_app->ui.window().windowTitle(), QStringLiteral("Pelisto"));
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
    QWidget* client = m_app->ui.window().pictureClient();
    QCOMPARE(client->geometry(), QRect(1, 1, kPictureClientWidth, kPictureClientHeight));
  }

  void windowsShowTheProgramsIcon() {
    // The built-in copy has both sizes; an installed theme icon may have more.
    QVERIFY(!m_app->ui.window().windowIcon().pixmap(48, 48).isNull());
    QMessageBox box;
    QCOMPARE(box.windowIcon().cacheKey(), m_app->ui.window().windowIcon().cacheKey());
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
      const QFont f = m_app->ui.widget(c.control)->font();
      QCOMPARE(QFontInfo(f).family(), QString::fromLatin1(c.family));
      QCOMPARE(f.pixelSize(), c.pixels);
    }
    QCOMPARE(QFontInfo(qtFont(FontSpec{"ＭＳ ゴシック", 16, 1})).family(), QStringLiteral("IPAGothic"));
    QVERIFY(QFontInfo(qtFont(FontSpec{"FixedSys", 18, 1})).fixedPitch());
    // Naming the installed faces draws exactly what the substitutions drew.
    for (const char* face : {"ＭＳ Ｐゴシック", "ＭＳ ゴシック", "ＭＳ 明朝", "FixedSys", ""}) {
      std::vector<uint32_t> drawn[2];
      for (bool substituted : {false, true}) {
        nameFacesThroughSubstitutions(substituted);
        Canvas canvas(400, 24);
        QtTextRenderer().drawText(canvas, 2, 2, "Waveファイルの作成 0 分 12秒 ↑↓ -32768", {face, 16, 1}, Rgb{});
        drawn[substituted].assign(canvas.pixels(), canvas.pixels() + 400 * 24);
      }
      QVERIFY2(drawn[0] == drawn[1], face);
    }
    nameFacesThroughSubstitutions(false);
  }

  void menuHasItsItemsAndCaptions() {
    const QList<QAction*> menus = m_app->ui.window().menuBar()->actions();
    QCOMPARE(menus.size(), 4);
    QStringList shown;
    for (QAction* m : menus) {
      shown << m->text() + ":";
      for (QAction* a : m->menu()->actions()) shown << (a->isSeparator() ? "-" : a->text());
    }
    QCOMPARE(shown, QStringList({"ファイル:", "waveファイルを開く", "-", "プロジェクトを開く",
                                 "上書き保存", "プロジェクトの保存", "編集:", "元に戻す", "やり直し", "-",
                                 "つなぎ目を滑らかにする", "つなぎ目を聴く", "音量をそろえる", "表示:",
                                 "グラフの高速表示を優先", "ヘルプ:", "著作権表示"}));
    QCOMPARE(m_app->ui.window().action(MenuItem::Copyright)->data().toInt(), 0x104);
    QCOMPARE(m_app->ui.window().action(MenuItem::Redo)->shortcuts(),
             QList<QKeySequence>({QKeySequence("Ctrl+Y"), QKeySequence("Ctrl+Shift+Z")}));
  }

  // The smoothing option: its mark follows the program's state, and the
  // choice is kept in the settings for the next start.
  void smoothJoinsIsCheckedAndRemembered() {
    QAction* smooth = m_app->ui.window().action(MenuItem::SmoothJoins);
    QVERIFY(smooth->isCheckable() && !smooth->isChecked());
    for (bool on : {true, false}) {
      smooth->trigger();
      QCOMPARE(smooth->isChecked(), on);
      QCOMPARE(m_app->ctx.state.smoothJoins, on);
      m_app->ctx.state.smoothJoins = !on;
      MAINFORM_START(m_app->ctx);  // as the next start finds it
      QCOMPARE(m_app->ctx.state.smoothJoins, on);
      QCOMPARE(smooth->isChecked(), on);
    }
  }

  // The loudness choices: a submenu of exclusive marks that follow the
  // program's state, the choice kept for the next start.
  void loudnessIsOneOfThreeAndRemembered() {
    QAction* off = m_app->ui.window().action(MenuItem::LoudnessOff);
    auto* sub = qobject_cast<QMenu*>(off->parent());
    QVERIFY(sub && off->actionGroup() && off->actionGroup()->isExclusive());
    QStringList captions;
    for (QAction* a : sub->actions()) captions << a->text();
    QCOMPARE(captions, QStringList({"なし", "−16 LUFS", "−23 LUFS"}));
    for (MenuItem item : {MenuItem::Loudness23, MenuItem::Loudness16, MenuItem::LoudnessOff}) {
      m_app->ui.window().action(item)->trigger();
      m_app->ctx.state.loudness = LoudnessTarget::kPodcast;
      MAINFORM_START(m_app->ctx);  // as the next start finds it
      for (MenuItem other : {MenuItem::LoudnessOff, MenuItem::Loudness16, MenuItem::Loudness23}) {
        QCOMPARE(m_app->ui.window().action(other)->isChecked(), other == item);
      }
    }
    QCOMPARE(m_app->ctx.state.loudness, LoudnessTarget::kOff);
  }

  void checkMarkChangesOnlyThroughTheProgram() {
    m_app->reset(false);
    QAction* fast = m_app->ui.window().action(MenuItem::GrapgFast);
    QVERIFY(fast->isCheckable());
    fast->trigger();
    QCOMPARE(fast->isChecked(), false);
    QCOMPARE(m_app->events.size(), size_t(1));
    QCOMPARE(handlerName(m_app->events[0]), std::string("GRAPGFAST_ON"));
    m_app->ui.setChecked(MenuItem::GrapgFast, true);
    fast->trigger();
    QVERIFY(fast->isChecked());
    QVERIFY(m_app->ui.isChecked(MenuItem::GrapgFast));
    m_app->ui.setChecked(MenuItem::GrapgFast, false);
    QVERIFY(!fast->isChecked());
  }

  void startUpDrawingIsShown() {
    const Rgb face = m_app->ui.systemColor(SystemColor::kButtonFace);
    QCOMPARE(rgb(face), QApplication::palette().color(QPalette::Button));
    Canvas& form = m_app->ui.canvas(Control::MAINFORM);
    QCOMPARE(form.palette(14), face);
    const QImage shot = m_app->ui.widget(Control::MAINFORM)->grab().toImage();
    QCOMPARE(shot.pixelColor(5, 0), QColor(128, 128, 128));
    QCOMPARE(shot.pixelColor(5, 1), QColor(255, 255, 255));
    QCOMPARE(shot.pixelColor(5, 300), rgb(face));
    for (Control label : {Control::TEXT1, Control::TEXT2, Control::TEXT3}) {
      QVERIFY(!m_app->ui.isVisible(label));
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
    const QImage picture = m_app->ui.window().pictureClient()->grab().toImage();
    QCOMPARE(picture.pixelColor(300, 63), QColor(192, 192, 192));
    QCOMPARE(picture.pixelColor(300, 62), QColor(255, 255, 255));
  }

  void openingAFileThroughTheRealDialog() {
    std::vector<uint8_t> bytes = riff::canonicalHeader(441000);
    bytes.resize(44 + 441000, 0);
    const QString path = writeFile(QStringLiteral("good.wav"), bytes);
    answerFileDialog(path);
    m_app->ui.window().action(MenuItem::OpenWaveFile)->trigger();
    QCOMPARE(m_app->ui.text(Control::EDIT1), std::string("0 分 2秒"));
    QCOMPARE(m_app->ui.window().edit(Control::EDIT1)->text(), QStringLiteral("0 分 2秒"));
    QCOMPARE(m_app->ui.scrollMin(), 0);
    QCOMPARE(m_app->ui.scrollMax(), 3);
    QCOMPARE(QString::fromStdString(m_app->ctx.state.WAVEFILENAME), path);
    QVERIFY(waveFileOpen(m_app->ctx));
  }

  void aRejectedFileShowsTheStopBox() {
    std::vector<uint8_t> bytes = riff::canonicalHeader(1000);
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
    m_app->ui.window().action(MenuItem::OpenWaveFile)->trigger();
    QCOMPARE(text, QString::fromUtf8(kMsgNotRiff));
    QCOMPARE(title, QStringLiteral("Pelisto V0.1"));
    QCOMPARE(icon, QMessageBox::Critical);
    QCOMPARE(m_app->ctx.state.WAVEFNUM, int16_t(0));
  }

  void scrollBarMovesRaiseOneChange() {
    m_app->reset(false);
    m_app->ui.setScrollRange(0, 40);
    m_app->ui.setScrollPos(2);
    QScrollBar* bar = m_app->ui.window().scrollBar();
    QVERIFY(m_app->events.empty());  // the program's own moves raise nothing
    QVERIFY(!bar->hasTracking());
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(m_app->ui.scrollPos(), 3);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(m_app->ui.scrollPos(), 19);
    QCOMPARE(m_app->events.size(), size_t(2));
    QCOMPARE(handlerName(m_app->events[1]), std::string("HSCROLL1_CHANGE"));
    // A thumb drag raises one change, on release, at the final position.
    bar->setSliderDown(true);
    bar->setSliderPosition(25);
    bar->setSliderPosition(30);
    QCOMPARE(m_app->events.size(), size_t(2));
    bar->setSliderDown(false);
    QCOMPARE(m_app->events.size(), size_t(3));
    QCOMPARE(m_app->ui.scrollPos(), 30);
    m_app->ui.setScrollPos(99);
    QCOMPARE(m_app->ui.scrollPos(), 40);
    // A click in the trough left of the thumb goes back one page.
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(100, bar->height() / 2));
    QCOMPARE(m_app->ui.scrollPos(), 24);
    m_app->ui.setScrollRange(0, 0);
  }

  // No file is open: each move of the scroll bar is refused with a box. An
  // arrow held past the repeat delay while its box is up, or a key held as
  // X11 repeats it (marked, or as a release and a press of one moment),
  // is one action with one box; a key pressed anew is the next.
  void aHeldArrowOrKeyGivesOneBox() {
    QVERIFY(!waveFileOpen(m_app->ctx));
    QScrollBar* bar = m_app->ui.window().scrollBar();
    m_app->ui.setScrollRange(0, 40);
    m_app->ui.setScrollPos(10);
    ModalAnswerer boxes(700);
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(bar->width() - 6, 8));  // right arrow
    QTest::qWait(800);
    QTest::mouseRelease(bar, Qt::LeftButton);
    QCOMPARE(boxes.answered, 1);
    QCOMPARE(bar->value(), 11);
    auto key = [](QEvent::Type type, bool repeat, quint64 at) {
      auto* e = new QKeyEvent(type, Qt::Key_Right, Qt::NoModifier, QString(), repeat);
      e->setTimestamp(at);
      return e;
    };
    QTimer::singleShot(50, [&] { QCoreApplication::postEvent(bar, key(QEvent::KeyPress, true, 1030)); });
    const struct {
      QEvent::Type type;
      bool repeat;
      quint64 at;
      int boxes, pos;
    } steps[] = {{QEvent::KeyPress, false, 1000, 2, 12},   {QEvent::KeyPress, true, 1900, 2, 12},
                 {QEvent::KeyRelease, false, 1930, 2, 12}, {QEvent::KeyPress, false, 1930, 2, 12},
                 {QEvent::KeyRelease, false, 2500, 2, 12}, {QEvent::KeyPress, false, 3000, 3, 13}};
    for (const auto& k : steps) {
      std::unique_ptr<QKeyEvent> e(key(k.type, k.repeat, k.at));
      QApplication::sendEvent(bar, e.get());
      QTest::qWait(100);
      QCOMPARE(boxes.answered, k.boxes);
      QCOMPARE(bar->value(), k.pos);
    }
  }

  void editsOnlyShowText() {
    for (Control id : {Control::EDIT1, Control::EDIT2}) {
      m_app->ui.setText(id, "0 分 3 秒目");
      QTest::keyClicks(m_app->ui.window().edit(id), "12");
      QTest::keyClick(m_app->ui.window().edit(id), Qt::Key_Backspace);
      QCOMPARE(m_app->ui.text(id), std::string("0 分 3 秒目"));
    }
  }

  void listLinesAndClicks() {
    m_app->reset(false);
    m_app->ui.clearLines();
    m_app->ui.addLine("a");
    m_app->ui.addLine("c");
    m_app->ui.insertLine(1, "b  ");
    QCOMPARE(m_app->ui.lineCount(), 3);
    QCOMPARE(m_app->ui.line(1), std::string("b  "));
    QCOMPARE(m_app->ui.selected(), -1);
    m_app->ui.select(2);
    m_app->ui.insertLine(0, "z");
    QCOMPARE(m_app->ui.selected(), 3);
    m_app->ui.removeLine(3);
    QCOMPARE(m_app->ui.selected(), -1);
    QVERIFY(m_app->events.empty());
    ListBox* list = m_app->ui.window().list();
    const QPoint at = list->visualItemRect(list->item(1)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(m_app->ui.selected(), 1);
    QCOMPARE(m_app->events.size(), size_t(1));
    QCOMPARE(handlerName(m_app->events[0]), std::string("LIST1_CLICK"));
    m_app->ui.clearLines();
  }

  void mouseReachesPictureAndForm() {
    m_app->reset(false);
    QWidget* client = m_app->ui.window().pictureClient();
    QWidget* form = m_app->ui.widget(Control::MAINFORM);
    QTest::mouseMove(handle(), inWindow(client, QPoint(10, 20)));
    QTest::mousePress(handle(), Qt::LeftButton, {}, inWindow(client, QPoint(12, 30)));
    QTest::mouseRelease(handle(), Qt::LeftButton, {}, inWindow(client, QPoint(12, 30)));
    // The form's own moves and releases, outside the controls.
    QTest::mouseMove(handle(), inWindow(form, QPoint(30, 400)));
    // Captured by the form: moves over the picture are the form's.
    m_app->ui.captureMouse(Control::MAINFORM);
    QTest::mouseMove(handle(), inWindow(client, QPoint(50, 5)));
    QTest::mouseRelease(handle(), Qt::LeftButton, {}, inWindow(client, QPoint(50, 5)));
    m_app->ui.releaseMouse();
    QStringList seen;
    for (const Event& e : m_app->events) {
      seen << QString::fromStdString(handlerName(e)) +
                  QStringLiteral(" %1 %2 %3").arg(e.button).arg(e.x).arg(e.y);
    }
    QCOMPARE(seen, QStringList({"PICTURE1_MOUSEMOVE 0 10 20", "PICTURE1_MOUSEMOVE 0 12 30",
                                "PICTURE1_MOUSEDOWN 1 12 30",
                                "MAINFORM_MOUSEMOVE 0 30 400", "MAINFORM_MOUSEMOVE 0 155 78",
                                "MAINFORM_MOUSEUP 1 155 78"}));
  }

  // Anything is taken while nothing plays or runs (the program judges what
  // was dropped); each item becomes its local path, or nothing. A drop opens
  // later, once the sender is done.
  void dropsAreTakenWhenIdle() {
    std::vector<uint8_t> bytes = riff::canonicalHeader(176400);
    bytes.resize(44 + 176400, 0);
    const QUrl wav = QUrl::fromLocalFile(writeFile("dropped.wav", bytes));
    const QUrl prj = QUrl::fromLocalFile(writeFile("list.PRJ", {})), txt = QUrl::fromLocalFile(writeFile("a.txt", {}));
    const QUrl folder = QUrl::fromLocalFile(m_dir.path()), web(QStringLiteral("https://example.org/a.wav"));
    const struct { QList<QUrl> urls; int16_t playflag; bool taken; } cases[] = {
        {{wav}, 0, true},  {{prj}, 0, true},      {{wav}, 2, false},    {{txt}, 0, true},
        {{web}, 0, true},  {{wav, prj}, 0, true}, {{folder}, 0, true}};
    QMimeData data;
    auto enter = [&](const QList<QUrl>& urls) {
      data.setUrls(urls);
      QDragEnterEvent e(QPoint(300, 300), Qt::CopyAction, &data, Qt::LeftButton, {});
      QApplication::sendEvent(&m_app->ui.window(), &e);
      return e.isAccepted();
    };
    for (const auto& c : cases) {
      m_app->ctx.state.PLAYFLAG = c.playflag;
      QCOMPARE(enter(c.urls), c.taken);
    }
    m_app->ctx.state.PLAYFLAG = 0;
    auto drop = [&](const QList<QUrl>& urls) {
      QVERIFY(enter(urls));
      QDropEvent e(QPointF(300, 300), Qt::CopyAction, &data, Qt::LeftButton, {});
      QApplication::sendEvent(&m_app->ui.window(), &e);
    };
    m_app->reset(false);
    drop({wav, web});
    QTRY_COMPARE(m_app->events.size(), size_t(1));
    QCOMPARE(m_app->events[0].paths, (std::vector<std::string>{fromQt(wav.toLocalFile()), ""}));
    m_app->reset(true);
    drop({wav});
    QVERIFY(m_app->events.empty());
    QTRY_COMPARE(QUrl::fromLocalFile(QString::fromStdString(m_app->ctx.state.WAVEFILENAME)), wav);
    QCOMPARE(m_app->ui.window().windowTitle(), QStringLiteral("dropped.wav - Pelisto"));
  }

  // The window's keys, whatever has the focus: menu commands, the play key
  // (not a click of a focused button), a line deleted, the first and last
  // second (the list keeps its own); a held key acts once.
  void keysReachTheirCommands() {
    m_app->reset(false);
    MainWindow& w = m_app->ui.window();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.setCloseRefused([] { return true; });  // Ctrl+Q asks, the window stays
    m_app->ui.setScrollRange(0, 40);
    m_app->ui.setScrollPos(10);
    using C = Control;
    const auto ctrl = Qt::ControlModifier;
    const struct { Control focus; Qt::Key key; Qt::KeyboardModifiers modifiers; bool held;
                   const char* handler; int pos; } cases[] = {
        {C::BUTTON1, Qt::Key_O, ctrl, false, "OPENWAVEFILE_ON", 10}, {C::BUTTON3, Qt::Key_Space, {}, true, "", 10},
        {C::LIST1, Qt::Key_O, ctrl | Qt::ShiftModifier, false, "OPENPROJECT_ON", 10},
        {C::LIST1, Qt::Key_S, ctrl, false, "SAVEPROJECTAGAIN_ON", 10},
        {C::BUTTON1, Qt::Key_S, ctrl | Qt::ShiftModifier, false, "SAVEPROJECT_ON", 10},
        {C::HSCROLL1, Qt::Key_Q, ctrl, false, "MAINFORM_QUERYCLOSE", 10},
        {C::BUTTON3, Qt::Key_Space, {}, false, "PLAYORSTOP", 10}, {C::BUTTON1, Qt::Key_Delete, {}, false, "", 10},
        {C::LIST1, Qt::Key_End, {}, false, "", 10}, {C::LIST1, Qt::Key_Delete, {}, false, "BUTTON8_ON", 10},
        {C::BUTTON1, Qt::Key_End, {}, false, "HSCROLL1_CHANGE", 40},
        {C::EDIT2, Qt::Key_Home, {}, false, "HSCROLL1_CHANGE", 0},
        {C::EDIT1, Qt::Key_Z, ctrl, false, "EDITUNDO", 0}, {C::LIST1, Qt::Key_Y, ctrl, false, "EDITREDO", 0},
        {C::BUTTON6, Qt::Key_Z, ctrl | Qt::ShiftModifier, false, "EDITREDO", 0},
        {C::LIST1, Qt::Key_Z, ctrl, true, "EDITUNDO", 0}, {C::BUTTON5, Qt::Key_J, ctrl, false, "LISTENJOIN_ON", 0},
        {C::BUTTON5, Qt::Key_J, ctrl, true, "", 0}};
    for (const auto& c : cases) {
      QWidget* target = m_app->ui.widget(c.focus);
      target->setFocus();
      m_app->events.clear();
      QKeyEvent held(QEvent::KeyPress, c.key, c.modifiers, QString(), true);
      c.held ? void(QApplication::sendEvent(target, &held)) : QTest::keyClick(target, c.key, c.modifiers);
      QStringList seen;  // a focused button's click would show here too
      for (const Event& e : m_app->events) seen << QString::fromStdString(handlerName(e));
      QCOMPARE(seen.join(' '), QString::fromLatin1(c.handler));
      QCOMPARE(m_app->ui.scrollPos(), c.pos);
    }
    w.setCloseRefused({});
    m_app->ui.setScrollRange(0, 0);
  }

  void tabFollowsReadingOrder() {
    QWidget* first = m_app->ui.widget(Control::EDIT2);
    QStringList order{first->objectName()};
    for (QWidget* w = first->nextInFocusChain(); w != first; w = w->nextInFocusChain()) {
      if ((w->focusPolicy() & Qt::TabFocus) && w->parentWidget() == first->parentWidget()) order << w->objectName();
    }
    QCOMPARE(order.join(' '), QStringLiteral("EDIT2 EDIT1 HSCROLL1 BUTTON1 BUTTON2 BUTTON3 BUTTON4 LIST1 BUTTON8 "
                                             "BUTTON9 BUTTON10 BUTTON5 BUTTON7 BUTTON11 BUTTON12 BUTTON14 BUTTON6"));
  }

  void pumpWakesForPostedEventsAndTimeouts() {
    m_app->reset(false);
    QtEventPump pump(m_app->ui.window());
    pump.waitForEvents(1);  // nothing pending: returns after the timeout
    m_app->ui.post(Event{EventKind::kMciDone, Control::MCI1});
    pump.waitForEvents(-1);  // returns with the completion delivered
    QCOMPARE(m_app->events.size(), size_t(1));
    QVERIFY(!pump.closed());
  }

  void cleanupTestCase() {
    const QByteArray dir = qgetenv("PELISTO_ARTIFACTS");
    if (!dir.isEmpty() && QDir().mkpath(QString::fromLocal8Bit(dir))) {
      QVERIFY(m_app->ui.window().grab().save(QString::fromLocal8Bit(dir) + "/main_window.png"));
    }
    m_app->reset(false);
    m_app->ui.window().close();
    QVERIFY(m_app->ui.window().closed());
    QCOMPARE(m_app->events.size(), size_t(1));
    QCOMPARE(handlerName(m_app->events[0]), std::string("MAINFORM_QUERYCLOSE"));
  }
};

}  // namespace pelisto::qttest

PELISTO_QT_TEST_MAIN(pelisto::qttest::MainWindowTest)

#include "main_window_test.moc"
