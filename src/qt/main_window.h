// The main window MAINFORM: a fixed client area that shows the form's
// canvas, every control of the form table at its client geometry, and the
// menu FORMMENU. User input (controls, menu, keys, a dropped file) becomes
// Events handed to the sink; the window holds no program logic.
#pragma once

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QScrollBar>
#include <QTimer>

#include <functional>
#include <map>

#include "shell/events.h"
#include "qt/canvas_widget.h"

class QPushButton;

namespace pelisto {

using EventSink = std::function<void(const Event&)>;

// LIST1: reports a press on a line and a selection moved by the keyboard.
class ListBox final : public QListWidget {
 public:
  ListBox(QWidget* parent, std::function<void()> clicked);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  std::function<void()> m_clicked;
};

class MainWindow final : public QMainWindow {
  Q_OBJECT

 public:
  MainWindow(Canvas& form, Canvas& picture);
  ~MainWindow() override;

  // Where every event of the program's windows goes: the one sink (the
  // program dispatches them to their handlers). Events sent before it is
  // set are dropped.
  void setEventSink(EventSink sink) { m_sink = std::move(sink); }
  void send(const Event& event) {
    if (m_sink) m_sink(event);
  }

  QWidget* control(Control id) const;
  CanvasWidget* form() const { return m_form; }
  CanvasWidget* pictureClient() const { return m_picture->client(); }
  QScrollBar* scrollBar() const { return m_scroll; }
  ListBox* list() const { return m_list; }
  QLineEdit* edit(Control id) const;
  QAction* action(MenuItem item) const { return m_actions.at(item); }

  // The menu check mark, changed only here (choosing the item does not).
  void setChecked(MenuItem item, bool checked);
  bool isChecked(MenuItem item) const;

  bool closed() const { return m_closed; }
  // Asked after the close event has run: true keeps the window open.
  void setCloseRefused(std::function<bool()> refused) { m_closeRefused = std::move(refused); }
  // Asked while a file is dragged over the window: true when it may be
  // dropped now. A modal window on top refuses it anyway.
  void setDropAllowed(std::function<bool()> allowed) { m_dropAllowed = std::move(allowed); }

  // A modal window is about to take the input: whatever the user holds
  // down here ends now, so that it cannot act again once that window has
  // gone (it takes the release, which this window would never see).
  void endHeldInput();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // Every widget, action and shortcut is a child of the window (or of a
  // widget in it) and goes with it.
  void createControl(const ControlInfo& info);
  QWidget* newControl(const ControlInfo& info);
  PictureBox* newPicture();
  QScrollBar* newScrollBar();
  QPushButton* newButton(const ControlInfo& info);
  void createMenu();
  void createShortcuts();
  void orderTabs();
  // Sends the mouse input of canvas as events of window (see mouseEventKind).
  void forwardMouse(CanvasWidget* canvas, Control window);
  // Where the window opens: where it was last, else the first place; a
  // step down and to the right for each window open there already.
  void placeWindow();
  // The window's place, for the windows that open after it.
  void notePlace();
  // The window's own keys (play, delete a line, first and last second);
  // true when key was one of them.
  bool keyCommand(const QKeyEvent& key, bool repeat);
  // Whether a drag may be dropped now: nothing plays, runs or is open on
  // top. What it carries is the program's to judge once dropped.
  bool takesDrops() const;

  EventSink m_sink;
  Canvas& m_pictureCanvas;
  CanvasWidget* m_form = nullptr;
  PictureBox* m_picture = nullptr;
  QScrollBar* m_scroll = nullptr;
  ListBox* m_list = nullptr;
  std::map<Control, QWidget*> m_controls;
  std::map<MenuItem, QAction*> m_actions;
  std::map<MenuItem, bool> m_checked;
  bool m_closed = false;
  int m_serial = 0;          // this window among the program's main windows
  QTimer* m_placeNote = nullptr;  // notes the place once a move has settled
  std::function<bool()> m_closeRefused;
  std::function<bool()> m_dropAllowed;
  bool m_heldKeyCut = false;  // a held key's repeats are dropped
  struct {
    int key = 0;
    quint64 at = 0;
  } m_released;  // the last key let go, and when
};

// Sets a widget's background (and black text) as the form table gives it.
void applyBackColor(QWidget* widget, Rgb back);

}  // namespace pelisto
