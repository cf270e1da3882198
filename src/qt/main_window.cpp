#include "qt/main_window.h"

#include <QActionGroup>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QProxyStyle>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStyleOptionSlider>

#include <algorithm>
#include <optional>
#include <utility>

#include "qt/desktop_settings.h"
#include "qt/qt_text.h"

namespace pelisto {
namespace {

constexpr int kScrollSmallStep = 1;
constexpr int kScrollLargeStep = 16;
// A window that would open on another steps down and right by about a
// title bar, at most this many times.
constexpr int kCascadeStep = 32;
constexpr int kMaxCascade = 16;
constexpr int kPlaceNoteDelayMs = 300;

// The menu items' keys, the first shown beside their captions.
QList<QKeySequence> menuShortcuts(MenuItem item) {
  switch (item) {
    case MenuItem::OpenWaveFile: return {QKeySequence(Qt::CTRL | Qt::Key_O)};
    case MenuItem::OpenProject: return {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O)};
    case MenuItem::SaveProjectAgain: return {QKeySequence(Qt::CTRL | Qt::Key_S)};
    case MenuItem::SaveProject: return {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)};
    case MenuItem::Undo: return {QKeySequence(Qt::CTRL | Qt::Key_Z)};
    case MenuItem::Redo: return {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)};
    case MenuItem::ListenJoin: return {QKeySequence(Qt::CTRL | Qt::Key_J)};
    default: return {};
  }
}

// HSCROLL1. Its thumb has one size whatever the range: the page step
// moves the view by 16 seconds but the view shows one, so the thumb does
// not pretend to cover a page.
class ScrollBar final : public QScrollBar {
 public:
  using QScrollBar::QScrollBar;

  // Ends a press whose release a modal window takes: an arrow's repeat
  // stops, and a thumb drag goes back to where it started.
  void letGo() {
    if (isSliderDown()) setSliderPosition(value());
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(), QPointF(), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    mouseReleaseEvent(&release);
  }

 protected:
  void initStyleOption(QStyleOptionSlider* option) const override {
    QScrollBar::initStyleOption(option);
    option->pageStep = 0;
  }
  // Left and Page Up go back, Right and Page Down forward (Qt's scroll bar
  // turns the two arrows round).
  void keyPressEvent(QKeyEvent* event) override {
    SliderAction action = SliderNoAction;
    switch (event->key()) {
      case Qt::Key_Left: action = SliderSingleStepSub; break;
      case Qt::Key_Right: action = SliderSingleStepAdd; break;
      case Qt::Key_PageUp: action = SliderPageStepSub; break;
      case Qt::Key_PageDown: action = SliderPageStepAdd; break;
      default: QScrollBar::keyPressEvent(event); return;
    }
    event->accept();
    triggerAction(action);
  }
  // The style draws no focus; a frame in the highlight colour shows it.
  void paintEvent(QPaintEvent* event) override {
    QScrollBar::paintEvent(event);
    if (!hasFocus()) return;
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Highlight));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
  }
};

// A click in HSCROLL1's trough moves by a page, whatever the desktop's
// theme prefers (some jump to the clicked point).
class PageClickStyle final : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* data) const override {
    if (hint == SH_ScrollBar_LeftClickAbsolutePosition) return 0;
    return QProxyStyle::styleHint(hint, option, widget, data);
  }
};

// The event a mouse action over window is, where the program has a
// handler for it: moves over both windows, presses on the picture,
// releases on the form.
std::optional<EventKind> mouseEventKind(Control window, MouseAction action) {
  switch (action) {
    case MouseAction::kMove: return EventKind::kMouseMove;
    case MouseAction::kPress:
      if (window == Control::PICTURE1) return EventKind::kMouseDown;
      break;
    case MouseAction::kRelease:
      if (window == Control::MAINFORM) return EventKind::kMouseUp;
      break;
  }
  return std::nullopt;
}

}  // namespace

void applyBackColor(QWidget* widget, Rgb back) {
  QPalette palette = widget->palette();
  const QColor color(back.r, back.g, back.b);
  for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button}) {
    palette.setColor(role, color);
  }
  for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
    palette.setColor(role, Qt::black);
  }
  widget->setPalette(palette);
  widget->setAutoFillBackground(true);
}

ListBox::ListBox(QWidget* parent, std::function<void()> clicked)
    : QListWidget(parent), m_clicked(std::move(clicked)) {}

void ListBox::mousePressEvent(QMouseEvent* event) {
  QListWidget::mousePressEvent(event);
  if (event->button() == Qt::LeftButton && itemAt(event->position().toPoint()) && m_clicked) {
    m_clicked();
  }
}

void ListBox::keyPressEvent(QKeyEvent* event) {
  const int before = currentRow();
  QListWidget::keyPressEvent(event);
  if (currentRow() != before && currentRow() >= 0 && m_clicked) m_clicked();
}

MainWindow::MainWindow(Canvas& form, Canvas& picture) : m_pictureCanvas(picture) {
  installFontSubstitutions();
  setWindowTitle(toQt(kMainTitle));
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);

  m_form = new CanvasWidget(form, this);
  m_form->setObjectName(QStringLiteral("MAINFORM"));
  // The controls are made under the face most of them show, so that each
  // starts with a font that is loaded anyway; the form's own comes after.
  m_form->setFont(qtFont(controlInfo(Control::BUTTON1).font));
  // Moves and releases over the client area outside the controls (and,
  // while the mouse is captured, over the controls too).
  forwardMouse(m_form, Control::MAINFORM);
  setCentralWidget(m_form);

  for (const ControlInfo& info : mainFormControls()) createControl(info);
  m_form->setFont(qtFont(kFormFont));
  createMenu();
  orderTabs();
  createShortcuts();
  installEventFilter(this);  // keys with no control focused
  setAcceptDrops(true);

  // The client area is fixed; the frame and the menu bar come on top of it.
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  static int windows = 0;
  m_serial = ++windows;
  m_placeNote = new QTimer(this);
  m_placeNote->setSingleShot(true);
  connect(m_placeNote, &QTimer::timeout, this, &MainWindow::notePlace);
  placeWindow();
}

MainWindow::~MainWindow() { forgetOpenWindow(m_serial); }

void MainWindow::forwardMouse(CanvasWidget* canvas, Control window) {
  canvas->setMouseSink([this, window](MouseAction action, int button, int x, int y) {
    if (const std::optional<EventKind> kind = mouseEventKind(window, action)) {
      send(Event::mouse(*kind, window, button, x, y));
    }
  });
}

void MainWindow::createShortcuts() {
  auto* quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this);
  quit->setAutoRepeat(false);
  connect(quit, &QShortcut::activated, this, &QWidget::close);  // asks as the close box does
}

// Where it was last: its client area placed as then (the desktop puts the
// frame around it), which comes back to the same place on every desktop;
// else the first place, frame included. A window open there already (of
// another program, or this one) would be hidden under it: it steps aside.
void MainWindow::placeWindow() {
  const std::optional<QPoint> remembered = rememberedWindowPosition();
  QPoint at = remembered.value_or(QPoint(kMainLeft, kMainTop));
  const std::vector<WindowPlace> open = openWindowPlaces();
  // The first place is a frame's corner before the desktop has framed the
  // window, its client area's after some: either corner counts.
  auto taken = [&](QPoint p) {
    return std::any_of(open.begin(), open.end(), [&](const WindowPlace& w) { return w.client == p || w.frame == p; });
  };
  for (int i = 0; i < kMaxCascade && taken(at); ++i) at += QPoint(kCascadeStep, kCascadeStep);
  if (remembered) {
    setGeometry(QRect(at, size()));
  } else {
    move(at);
  }
  // Noted once the window is on the screen: writing the settings would
  // hold up its first showing.
  m_placeNote->start(0);
}

void MainWindow::notePlace() {
  if (!m_closed) noteOpenWindow(m_serial, WindowPlace{geometry().topLeft(), pos()});
}

void MainWindow::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  m_placeNote->start(kPlaceNoteDelayMs);
}

void MainWindow::createControl(const ControlInfo& info) {
  QWidget* widget = newControl(info);
  if (!widget) return;
  widget->setObjectName(QString::fromLatin1(info.name));
  widget->setGeometry(info.left, info.top, info.width, info.height);
  if (!info.font.face.empty()) widget->setFont(qtFont(info.font));
  if (info.hasBack) applyBackColor(widget, info.back);
  // Input over a control belongs to the control, never to the form below.
  widget->setAttribute(Qt::WA_NoMousePropagation);
  widget->installEventFilter(this);  // for the held keys (see eventFilter)
  m_controls[info.id] = widget;
}

// The widget of a control of the form table, a child of the client area
// (none for the form itself).
QWidget* MainWindow::newControl(const ControlInfo& info) {
  switch (info.kind) {
    case ControlKind::kPicture:
      return newPicture();
    case ControlKind::kLabel:
      return new QLabel(toQt(info.caption), m_form);
    case ControlKind::kScrollBar:
      return newScrollBar();
    case ControlKind::kEdit: {
      // The position and the length are shown, never typed.
      auto* edit = new QLineEdit(toQt(info.caption), m_form);
      edit->setReadOnly(true);
      edit->setAcceptDrops(false);  // a dropped file goes to the window
      return edit;
    }
    case ControlKind::kButton:
      return newButton(info);
    case ControlKind::kMci: {
      // The completion notifier has nothing to show.
      auto* notifier = new QWidget(m_form);
      notifier->setVisible(false);
      return notifier;
    }
    case ControlKind::kList:
      m_list = new ListBox(m_form, [this] { send(Event::listClick()); });
      m_list->setSelectionMode(QAbstractItemView::SingleSelection);
      m_list->setUniformItemSizes(true);
      return m_list;
    case ControlKind::kForm:
      break;
  }
  return nullptr;
}

PictureBox* MainWindow::newPicture() {
  m_picture = new PictureBox(m_pictureCanvas, m_form);
  forwardMouse(m_picture->client(), Control::PICTURE1);
  return m_picture;
}

QScrollBar* MainWindow::newScrollBar() {
  m_scroll = new ScrollBar(Qt::Horizontal, m_form);
  auto* style = new PageClickStyle;
  style->setParent(m_scroll);  // the bar does not own the style it uses
  m_scroll->setStyle(style);
  m_scroll->setRange(0, 0);
  m_scroll->setSingleStep(kScrollSmallStep);
  m_scroll->setPageStep(kScrollLargeStep);
  m_scroll->setTracking(false);  // a thumb drag changes the position once, on release
  m_scroll->setFocusPolicy(Qt::TabFocus);
  connect(m_scroll, &QScrollBar::valueChanged, this, [this] { send(Event::scroll()); });
  return m_scroll;
}

QPushButton* MainWindow::newButton(const ControlInfo& info) {
  auto* button = new QPushButton(toQt(info.caption), m_form);
  const Control id = info.id;
  connect(button, &QPushButton::clicked, this, [this, id] { send(Event::click(id)); });
  return button;
}

void MainWindow::createMenu() {
  std::map<std::string, QMenu*> menus;
  std::map<std::string, QActionGroup*> groups;
  for (const MenuItemInfo& item : menuItems()) {
    QMenu*& menu = menus[item.menu];
    if (!menu) {
      menu = menuBar()->addMenu(toQt(item.menuCaption));
      menu->setObjectName(QString::fromLatin1(item.menu));
    }
    if (item.separatorBefore) menu->addSeparator();
    QMenu* place = menu;
    QActionGroup* choices = nullptr;
    if (item.submenu) {
      // A submenu of exclusive choices, marked as such.
      const std::string key = std::string(item.menu) + "/" + item.submenu;
      QMenu*& sub = menus[key];
      if (!sub) {
        sub = menu->addMenu(toQt(item.submenu));
        groups[key] = new QActionGroup(sub);
        groups[key]->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
      }
      place = sub;
      choices = groups[key];
    }
    QAction* action = place->addAction(toQt(item.caption));
    action->setObjectName(QString::fromLatin1(item.name));
    action->setData(item.identifier);
    const MenuItem id = item.id;
    if (id == MenuItem::GrapgFast || id == MenuItem::SmoothJoins || choices) action->setCheckable(true);
    if (choices) choices->addAction(action);
    action->setShortcuts(menuShortcuts(id));
    // A held undo or redo key goes on stepping through the history.
    action->setAutoRepeat(id == MenuItem::Undo || id == MenuItem::Redo);
    connect(action, &QAction::triggered, this, [this, id, action] {
      if (action->isCheckable()) {
        const QSignalBlocker block(action);
        action->setChecked(isChecked(id));  // choosing the item leaves the mark alone
      }
      send(Event::choose(id));
    });
    m_actions[id] = action;
  }
}

// Tab goes through the controls in reading order: by top, then by left.
void MainWindow::orderTabs() {
  std::vector<std::pair<const ControlInfo*, QWidget*>> stops;
  for (const ControlInfo& info : mainFormControls()) {
    QWidget* w = control(info.id);
    if (w && (w->focusPolicy() & Qt::TabFocus)) stops.emplace_back(&info, w);
  }
  std::stable_sort(stops.begin(), stops.end(), [](const auto& a, const auto& b) {
    return std::pair(a.first->top, a.first->left) < std::pair(b.first->top, b.first->left);
  });
  for (size_t i = 1; i < stops.size(); ++i) setTabOrder(stops[i - 1].second, stops[i].second);
}

QWidget* MainWindow::control(Control id) const {
  if (id == Control::MAINFORM) return m_form;
  auto it = m_controls.find(id);
  return it == m_controls.end() ? nullptr : it->second;
}

QLineEdit* MainWindow::edit(Control id) const { return qobject_cast<QLineEdit*>(control(id)); }

void MainWindow::setChecked(MenuItem item, bool checked) {
  m_checked[item] = checked;
  QAction* action = m_actions.at(item);
  if (!action->isCheckable()) action->setCheckable(true);
  const QSignalBlocker block(action);
  action->setChecked(checked);
}

bool MainWindow::isChecked(MenuItem item) const {
  auto it = m_checked.find(item);
  return it != m_checked.end() && it->second;
}

void MainWindow::endHeldInput() {
  static_cast<ScrollBar*>(m_scroll)->letGo();
  m_heldKeyCut = true;
}

}  // namespace pelisto
