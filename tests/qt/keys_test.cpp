// The program's keys in the real window, whatever has the focus: a control,
// the list (not in its own way), an edit box, the menu bar or none; a
// disabled item's key does nothing; a dialog keeps its own keys.
#include <QMenuBar>

#include <fstream>

#include "desktop_fixture.h"
#include "platform/riff.h"

namespace pelisto::qttest {

class KeysTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<Desktop> m_app;
  QTemporaryDir m_dir;

  // The handlers of the events sent since the last call.
  QString sent() {
    QStringList names;
    for (const Event& e : m_app->events) names << QString::fromStdString(handlerName(e));
    m_app->events.clear();
    return names.join(' ');
  }

 private slots:
  void initTestCase() {
    m_app = std::make_unique<Desktop>();
    m_app->ui.window().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&m_app->ui.window()));
  }

  void everyKeyWhateverHasTheFocus() {
    m_app->reset(false);
    for (const MenuItemInfo& m : menuItems()) m_app->ui.setEnabled(m.id, true);
    m_app->ui.addLine("a line");
    m_app->ui.addLine("another");
    m_app->ui.select(0);
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    const struct {
      Qt::Key key;
      Qt::KeyboardModifiers modifiers;
      const char* handler;
    } keys[] = {{Qt::Key_Space, {}, "PLAYORSTOP"},          {Qt::Key_Home, {}, "FIRSTSECOND"},
                {Qt::Key_End, {}, "LASTSECOND"},            {Qt::Key_BracketLeft, {}, "MARKSTARTHERE_ON"},
                {Qt::Key_BracketRight, {}, "MARKENDHERE_ON"}, {Qt::Key_Right, ctrl, "NEXTPAUSE_ON"},
                {Qt::Key_Left, ctrl, "PREVPAUSE_ON"},       {Qt::Key_G, ctrl, "GOTOTIME_ON"}};
    QWidget* window = &m_app->ui.window();
    QWidget* focus[] = {m_app->ui.widget(Control::LIST1), m_app->ui.widget(Control::HSCROLL1),
                        m_app->ui.widget(Control::EDIT2), m_app->ui.widget(Control::BUTTON3),
                        m_app->ui.window().menuBar(), window};
    for (QWidget* target : focus) {
      target == window ? (QApplication::focusWidget() ? QApplication::focusWidget()->clearFocus() : void())
                       : target->setFocus();
      for (const auto& k : keys) {
        QTest::keyClick(target, k.key, k.modifiers);
        QCOMPARE(sent() + " " + target->objectName(), QString::fromLatin1(k.handler) + " " + target->objectName());
      }
      // The list's selection stays: its own keys did not run.
      QCOMPARE(m_app->ui.selected(), 0);
    }
    // A disabled item's key does nothing.
    m_app->ui.setEnabled(MenuItem::NextPause, false);
    QTest::keyClick(m_app->ui.widget(Control::LIST1), Qt::Key_Right, ctrl);
    QCOMPARE(sent(), QString());
    m_app->ui.clearLines();
  }

  // In the box of 時間を指定して移動… Home and [ are the field's; the typed
  // time moves the view.
  void aDialogKeepsItsOwnKeys() {
    const QString path = m_dir.filePath(QStringLiteral("long.wav"));
    {
      std::vector<uint8_t> f = riff::canonicalHeader(200 * 176400);
      f.resize(f.size() + 200 * 176400, 0);
      std::ofstream(path.toStdString(), std::ios::binary)
          .write(reinterpret_cast<const char*>(f.data()), std::streamsize(f.size()));
    }
    m_app->reset(true);
    answerFileDialog(path);
    m_app->ui.window().action(MenuItem::OpenWaveFile)->trigger();
    QTRY_VERIFY(waveFileOpen(m_app->ctx));
    QString typed;
    whenModal<QDialog>([&typed](QDialog* d) {
      auto* field = d->findChild<QLineEdit*>(QStringLiteral("field"));
      QTest::keyClicks(field, "30");
      QTest::keyClick(field, Qt::Key_Home);
      QTest::keyClicks(field, "2:[");
      QTest::keyClick(field, Qt::Key_Backspace);
      typed = field->text();
      d->accept();
    });
    QTest::keyClick(m_app->ui.widget(Control::LIST1), Qt::Key_G, Qt::ControlModifier);
    QCOMPARE(typed, QStringLiteral("2:30"));
    QCOMPARE(m_app->ui.scrollPos(), 150);
    QCOMPARE(m_app->ui.text(Control::EDIT2), std::string("2 分 30 秒目"));
  }
};

}  // namespace pelisto::qttest

PELISTO_QT_TEST_MAIN(pelisto::qttest::KeysTest)

#include "keys_test.moc"
