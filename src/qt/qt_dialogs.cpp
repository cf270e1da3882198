#include "qt/qt_dialogs.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

#include "qt/desktop_settings.h"
#include "qt/qt_text.h"

namespace pelisto {
namespace {

// A full path typed (or pasted) into a file dialog's name field, then
// Enter: a folder is entered, a file is taken from its own folder. The
// dialog alone resolves the name against the folder it shows, and keeps
// the field in step with its list, so a path into another folder could be
// cut down to a bare name there, or lost when Enter reached the completion
// list first (which also swallows Enter after a bare name). A completion
// the user picked from the list is left to it.
class TypedPath final : public QObject {
 public:
  explicit TypedPath(QFileDialog& dialog)
      : m_dialog(dialog), m_edit(dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
    if (!m_edit) return;
    connect(m_edit, &QLineEdit::textEdited, this, [this](const QString& text) { m_typed = text; });
    m_edit->installEventFilter(this);
    // The list's own filter comes first, so this one runs before it.
    if (QCompleter* completer = m_edit->completer()) {
      m_popup = completer->popup();
      m_popup->installEventFilter(this);
    }
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    const bool listShown = m_popup && m_popup->isVisible();
    if (listShown && m_popup->currentIndex().isValid()) return false;
    QString path = typedPath();
    // A bare name with the list showing: the list would take Enter only to
    // close itself, so the name is taken in the dialog's own folder.
    if (path.isEmpty() && listShown && !m_edit->text().isEmpty()) {
      path = m_dialog.directory().absoluteFilePath(m_edit->text());
    }
    if (path.isEmpty()) return false;
    const QFileInfo info(path);
    if (!info.isDir() && !info.dir().exists()) return false;  // the dialog says what is wrong
    if (m_popup) m_popup->hide();
    m_typed.clear();
    if (info.isDir()) {
      m_dialog.setDirectory(info.absoluteFilePath());
      m_edit->clear();
      return true;
    }
    m_dialog.setDirectory(info.absolutePath());
    // What the list had selected on the way (a folder of the path) would
    // be taken before the name.
    if (auto* list = m_dialog.findChild<QAbstractItemView*>(QStringLiteral("listView"))) {
      list->clearSelection();
    }
    m_edit->setText(info.fileName());
    // The dialog asks before replacing a file and refuses a missing one.
    QMetaObject::invokeMethod(&m_dialog, "accept");
    return true;
  }

 private:
  // The absolute path the user typed, while the field still shows it or
  // its bare name; empty otherwise.
  QString typedPath() const {
    QString typed = m_typed;
    if (typed.startsWith(QStringLiteral("~/"))) typed = QDir::homePath() + typed.mid(1);
    if (!QDir::isAbsolutePath(typed)) return {};
    const QString shown = m_edit->text();
    if (shown != m_typed && shown != QFileInfo(typed).fileName()) return {};
    return typed;
  }

  QFileDialog& m_dialog;
  QLineEdit* m_edit;
  QAbstractItemView* m_popup = nullptr;
  QString m_typed;
};

}  // namespace

// text with a line break after each full stop of its first line that more
// text follows.
QString boxText(const std::string& text) {
  QString shown = toQt(text);
  const QChar stop(0x3002);  // 。
  const qsizetype firstLineEnd = shown.indexOf(QLatin1Char('\n'));
  for (qsizetype at = (firstLineEnd < 0 ? shown.size() : firstLineEnd) - 2; at >= 0; --at) {
    if (shown[at] == stop) shown.insert(at + 1, QLatin1Char('\n'));
  }
  return shown;
}

// Qt's message box wraps a text wider than about 500 pixels, Japanese
// between any two characters; this one keeps each line whole while the
// screen is wide enough for it.
class WholeLinesBox final : public QMessageBox {
 public:
  WholeLinesBox(Icon icon, const std::string& caption, const std::string& text, StandardButtons buttons,
                QWidget* parent)
      : QMessageBox(icon, toQt(caption), boxText(text), buttons, parent) {}

 protected:
  // Qt sizes the box on these two; the lines are unwrapped after it.
  bool event(QEvent* event) override {
    const bool result = QMessageBox::event(event);
    if (event->type() == QEvent::LayoutRequest) keepLinesWhole();
    return result;
  }
  void showEvent(QShowEvent* event) override {
    QMessageBox::showEvent(event);
    keepLinesWhole();
  }

 private:
  void keepLinesWhole() {
    auto* label = findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    if (!label || !label->wordWrap() || !layout()) return;
    label->setWordWrap(false);
    layout()->activate();
    const QSize whole = layout()->totalMinimumSize();
    const QScreen* shown = screen();
    if (shown && whole.width() > shown->availableGeometry().width()) {
      label->setWordWrap(true);  // wrapped after all, as Qt would
      return;
    }
    setFixedSize(whole);
    QCoreApplication::removePostedEvents(this, QEvent::LayoutRequest);
  }
};

void showStopBox(QWidget* parent, const std::string& caption, const std::string& text) {
  WholeLinesBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok, parent);
  box.exec();
}

void showInformationBox(QWidget* parent, const std::string& caption, const std::string& text) {
  WholeLinesBox box(QMessageBox::Information, caption, text, QMessageBox::Ok, parent);
  box.exec();
}

Answer askQuestion(QWidget* parent, const std::string& caption, const std::string& text) {
  WholeLinesBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                    parent);
  box.button(QMessageBox::Yes)->setText(QStringLiteral("はい(&Y)"));
  box.button(QMessageBox::No)->setText(QStringLiteral("いいえ(&N)"));
  box.button(QMessageBox::Cancel)->setText(QStringLiteral("キャンセル"));
  box.setEscapeButton(QMessageBox::Cancel);
  box.exec();
  QAbstractButton* clicked = box.clickedButton();
  if (clicked == box.button(QMessageBox::Yes)) return Answer::kYes;
  if (clicked == box.button(QMessageBox::No)) return Answer::kNo;
  return Answer::kCancel;
}

namespace {

// A filter as Qt reads it: the patterns in parentheses, added when the
// shown text does not carry them.
QString qtFilter(const std::string& text, const std::string& pattern) {
  QString filter = toQt(text);
  const QString p = toQt(pattern);
  if (!p.isEmpty() && !filter.contains(QLatin1Char('(') + p + QLatin1Char(')'))) {
    filter += QStringLiteral(" (") + p + QLatin1Char(')');
  }
  return filter;
}

}  // namespace

std::optional<FileChoice> runFileDialog(QWidget* parent, const FileDialogSpec& spec) {
  QStringList filters{qtFilter(spec.filterText, spec.pattern)};
  for (const FileFilter& f : spec.moreFilters) filters.append(qtFilter(f.text, f.patterns));
  // Each kind of file starts where the last one of its kind was chosen.
  const QString kind = folderKind(toQt(spec.pattern));
  QFileDialog dialog(parent, toQt(spec.title), startFolder(kind));
  dialog.setNameFilters(filters);
  dialog.selectNameFilter(filters.value(static_cast<qsizetype>(spec.filter), filters.first()));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(spec.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(spec.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (!spec.initialPath.empty() && spec.initialPath.back() == '/') {
    dialog.setDirectory(QFileInfo(toQt(spec.initialPath)).absoluteFilePath());
  } else if (!spec.initialPath.empty()) {
    // The proposed file: its folder shown, its name in the name field.
    const QFileInfo proposed(toQt(spec.initialPath));
    dialog.setDirectory(proposed.absolutePath());
    dialog.selectFile(proposed.fileName());
  }
  TypedPath typedPath(dialog);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty() || chosen.first().isEmpty()) return std::nullopt;
  rememberFolder(kind, chosen.first());
  const qsizetype filter = std::max<qsizetype>(0, filters.indexOf(dialog.selectedNameFilter()));
  return FileChoice{fromQt(QDir::toNativeSeparators(chosen.first())), static_cast<size_t>(filter)};
}

std::optional<std::string> runInputBox(QWidget* parent, const std::string& caption,
                                       const std::string& prompt, const std::string& initial) {
  QDialog dialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                             Qt::WindowCloseButtonHint);
  dialog.setObjectName(QStringLiteral("inputBox"));
  dialog.setWindowTitle(toQt(caption));
  QVBoxLayout layout(&dialog);
  QLabel label(toQt(prompt), &dialog);
  label.setObjectName(QStringLiteral("prompt"));
  // One line (or the prompt's own lines): the box widens to fit, and no
  // word is broken.
  label.setWordWrap(false);
  QLineEdit field(&dialog);
  field.setObjectName(QStringLiteral("field"));
  field.setMaxLength(kInputMaxLength);
  field.setText(toQt(initial));
  field.selectAll();
  QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  buttons.button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
  buttons.button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
  QObject::connect(&buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(&buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout.addWidget(&label);
  layout.addWidget(&field);
  layout.addWidget(&buttons);
  dialog.setMinimumWidth(320);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return fromQt(field.text());
}

}  // namespace pelisto
