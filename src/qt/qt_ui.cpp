#include "qt/qt_ui.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QSignalBlocker>

#include <algorithm>
#include <cstdlib>

#include "qt/app_icon.h"
#include "qt/busy_scope.h"
#include "qt/desktop_settings.h"
#include "qt/qt_dialogs.h"
#include "qt/recovery_dialog.h"

namespace pelisto {

QtUi::QtUi() {
  installFontSubstitutions();
  // The icon once the window is on the screen: reading its files and
  // searching the icon theme would hold up the window's first showing.
  QMetaObject::invokeMethod(&m_receiver, [] { setApplicationIcon(); }, Qt::QueuedConnection);
  m_canvases[Control::MAINFORM] = std::make_unique<Canvas>(kMainClientWidth, kMainClientHeightWithOverview);
  for (const ControlInfo& c : mainFormControls()) {
    m_fonts[c.id] = c.font;
    if (c.kind == ControlKind::kPicture) {
      m_canvases[c.id] = std::make_unique<Canvas>(canvasWidth(c), canvasHeight(c));
    }
  }
  for (auto& [id, canvas] : m_canvases) canvas->setTextRenderer(&m_renderer);
  m_fonts[Control::MAINFORM] = kFormFont;
  m_window = std::make_unique<MainWindow>([this](Control id) -> Canvas& { return canvas(id); });
  m_progress = new ProgressStrip(m_window->form());
  QObject::connect(m_window->list(), &QListWidget::itemSelectionChanged, &m_receiver, [this] {
    if (m_selectionListener) m_selectionListener(selected());
  });
}

QtUi::~QtUi() {
  m_selectionListener = nullptr;
  m_window.reset();
}

void QtUi::post(const Event& event) {
  QMetaObject::invokeMethod(&m_receiver, [this, event] { m_window->send(event); }, Qt::QueuedConnection);
}

QWidget* QtUi::widget(Control control) const {
  if (control == Control::FORM3) return m_about;
  if (control == Control::BUTTON13) return m_about ? m_about->button() : nullptr;
  return m_window->control(control);
}

QWidget* QtUi::dialogParent() {
  m_window->endHeldInput();
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return m_window.get();
}

void QtUi::setText(Control control, const std::string& text) {
  const QString t = toQt(text);
  if (control == Control::MAINFORM) {
    m_window->setWindowTitle(t);
    return;
  }
  QWidget* w = widget(control);
  if (control == Control::FORM3 && w) {
    w->setWindowTitle(t);
  } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
    edit->setText(t);
  } else if (auto* label = qobject_cast<QLabel*>(w)) {
    label->setText(t);
  } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
    button->setText(t);
  }
}

std::string QtUi::text(Control control) const {
  if (control == Control::MAINFORM) return fromQt(m_window->windowTitle());
  QWidget* w = widget(control);
  if (control == Control::FORM3) return w ? fromQt(w->windowTitle()) : kForm3Title;
  if (auto* edit = qobject_cast<QLineEdit*>(w)) return fromQt(edit->text());
  if (auto* label = qobject_cast<QLabel*>(w)) return fromQt(label->text());
  if (auto* button = qobject_cast<QAbstractButton*>(w)) return fromQt(button->text());
  return {};
}

void QtUi::setFont(Control control, const FontSpec& font) {
  m_fonts[control] = font;
  if (QWidget* w = widget(control)) w->setFont(qtFont(font));
}

FontSpec QtUi::font(Control control) const {
  auto it = m_fonts.find(control);
  return it == m_fonts.end() ? FontSpec{} : it->second;
}

void QtUi::hide(Control control) {
  m_hidden.insert(control);
  if (QWidget* w = widget(control)) w->hide();
}

void QtUi::show(Control control) {
  m_hidden.erase(control);
  if (QWidget* w = widget(control)) w->show();
}

bool QtUi::isVisible(Control control) const { return m_hidden.count(control) == 0; }

void QtUi::setFormHeight(int height) { m_window->setFormHeight(height); }

void QtUi::setScrollRange(int minimum, int maximum) {
  const QSignalBlocker block(m_window->scrollBar());
  m_window->scrollBar()->setRange(minimum, std::max(minimum, maximum));
}

int QtUi::scrollMin() const { return m_window->scrollBar()->minimum(); }
int QtUi::scrollMax() const { return m_window->scrollBar()->maximum(); }
int QtUi::scrollPos() const { return m_window->scrollBar()->value(); }

void QtUi::setScrollPos(int pos) {
  // Only the user's moves raise the change event.
  const QSignalBlocker block(m_window->scrollBar());
  m_window->scrollBar()->setValue(pos);
}

void QtUi::setSelectionListener(std::function<void(int)> listener) {
  m_selectionListener = std::move(listener);
}

void QtUi::addLine(const std::string& text) { m_window->list()->addItem(toQt(text)); }

void QtUi::insertLine(int index, const std::string& text) {
  ListBox* list = m_window->list();
  list->insertItem(std::clamp(index, 0, list->count()), toQt(text));
}

void QtUi::removeLine(int index) {
  ListBox* list = m_window->list();
  if (index < 0 || index >= list->count()) return;
  const bool wasSelected = selected() == index;
  std::unique_ptr<QListWidgetItem> item(list->takeItem(index));
  if (wasSelected) select(-1);
}

std::string QtUi::line(int index) const {
  const QListWidgetItem* item = m_window->list()->item(index);
  return item ? fromQt(item->text()) : std::string();
}

int QtUi::lineCount() const { return m_window->list()->count(); }

int QtUi::selected() const {
  const ListBox* list = m_window->list();
  const QList<QListWidgetItem*> items = list->selectedItems();
  return items.isEmpty() ? -1 : list->row(items.first());
}

void QtUi::select(int index) {
  ListBox* list = m_window->list();
  if (index < 0 || index >= list->count()) {
    list->clearSelection();
    list->setCurrentRow(-1);
    return;
  }
  list->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
  list->scrollToItem(list->item(index));
}

void QtUi::clearLines() { m_window->list()->clear(); }

Canvas& QtUi::canvas(Control control) {
  if (control == Control::FORM3) {
    if (!m_form3Canvas) {
      m_form3Canvas = std::make_unique<Canvas>(kForm3ClientWidth, kForm3ClientHeight);
      m_form3Canvas->setTextRenderer(&m_renderer);
    }
    return *m_form3Canvas;
  }
  auto it = m_canvases.find(control);
  if (it == m_canvases.end()) std::abort();  // no such canvas: a programming error
  return *it->second;
}

void QtUi::setPointer(Control control, Pointer pointer) {
  QWidget* w = hasCanvas(control) && control != Control::MAINFORM ? m_window->pictureClient(control)
                                                                   : widget(control);
  if (!w) return;
  switch (pointer) {
    case Pointer::kArrow:
      w->unsetCursor();
      releaseMouse();
      break;
    case Pointer::kSizeWE: w->setCursor(Qt::SizeHorCursor); break;
    case Pointer::kWait: w->setCursor(Qt::WaitCursor); break;
  }
}

void QtUi::captureMouse(Control control) {
  QWidget* w = hasCanvas(control) && control != Control::MAINFORM ? m_window->pictureClient(control)
                                                                   : widget(control);
  if (w) w->grabMouse();
}

void QtUi::releaseMouse() {
  if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
}

void QtUi::setChecked(MenuItem item, bool checked) { m_window->setChecked(item, checked); }
bool QtUi::isChecked(MenuItem item) const { return m_window->isChecked(item); }
void QtUi::setEnabled(MenuItem item, bool enabled) { m_window->action(item)->setEnabled(enabled); }
bool QtUi::isEnabled(MenuItem item) const { return m_window->action(item)->isEnabled(); }
bool QtUi::rememberedChoice(const std::string& key) const { return rememberedOption(toQt(key)); }
void QtUi::rememberChoice(const std::string& key, bool value) { rememberOption(toQt(key), value); }
std::string QtUi::rememberedName(const std::string& key) const { return fromQt(rememberedText(toQt(key))); }
void QtUi::rememberName(const std::string& key, const std::string& value) {
  rememberText(toQt(key), toQt(value));
}


void QtUi::messageBox(const std::string& caption, const std::string& text) {
  showStopBox(dialogParent(), caption, text);
}

void QtUi::inform(const std::string& caption, const std::string& text) {
  showInformationBox(dialogParent(), caption, text);
}

Answer QtUi::question(const std::string& caption, const std::string& text) {
  return askQuestion(dialogParent(), caption, text);
}

RecoveryReply QtUi::askRecovery(const std::string& caption, const std::string& text,
                                const std::vector<std::string>& lists) {
  return askRecoveryQuestion(dialogParent(), caption, text, lists);
}

std::optional<FileChoice> QtUi::chooseFile(const FileDialogSpec& spec) {
  return runFileDialog(dialogParent(), spec);
}

std::optional<std::string> QtUi::inputBox(const std::string& caption, const std::string& prompt,
                                          const std::string& initial) {
  return runInputBox(dialogParent(), caption, prompt, initial);
}

void QtUi::showAbout(const std::function<void(Canvas&)>& paint) {
  if (m_about) return;  // already shown (modal): nothing to do
  m_window->endHeldInput();
  m_form3Canvas = std::make_unique<Canvas>(kForm3ClientWidth, kForm3ClientHeight);
  m_form3Canvas->setTextRenderer(&m_renderer);
  AboutDialog dialog(*m_form3Canvas, m_window.get(),
                     [this] { m_window->send(Event::click(Control::BUTTON13)); });
  m_about = &dialog;
  paint(*m_form3Canvas);
  dialog.exec();
  m_about = nullptr;
}

void QtUi::closeAbout(int value) {
  if (m_about) m_about->done(value);
}

Rgb QtUi::systemColor(SystemColor which) const {
  const QColor c = QApplication::palette().color(
      which == SystemColor::kButtonFace ? QPalette::Button : QPalette::ButtonText);
  return Rgb{uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue())};
}

std::unique_ptr<BusyScope> QtUi::beginBusy(const std::string& caption, bool cancellable) {
  m_window->endHeldInput();  // the busy scope swallows the release
  return std::make_unique<QtBusyScope>(m_window.get(), m_window->form(), caption, cancellable);
}

void QtUi::notice(const std::string& text) {
  // May come from the sound thread: shown later, on this thread, without
  // holding up the caller.
  const QString t = toQt(text);
  QMetaObject::invokeMethod(
      &m_receiver,
      [this, t] {
        delete m_notice;  // one notice at a time
        m_notice = new QMessageBox(QMessageBox::Information, toQt(kMainTitle), t, QMessageBox::Ok,
                                   m_window.get());
        m_notice->setObjectName(QStringLiteral("notice"));
        m_notice->setWindowModality(Qt::NonModal);
        m_notice->show();
      },
      Qt::QueuedConnection);
}

void QtUi::showProgress(const std::string& text, int percent) {
  m_progress->show(text, percent);
}

void QtUi::hideProgress() { m_progress->hide(); }

}  // namespace pelisto
