#include "platform/qt/qt_dialogs.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/qt/qt_text.h"

namespace pelisto {

void showStopBox(QWidget* parent, const std::string& caption, const std::string& text) {
  QMessageBox box(QMessageBox::Critical, toQt(caption), toQt(text), QMessageBox::Ok, parent);
  box.exec();
}

Answer askQuestion(QWidget* parent, const std::string& caption, const std::string& text) {
  QMessageBox box(QMessageBox::Question, toQt(caption), toQt(text),
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
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

std::string runFileDialog(QWidget* parent, const FileDialogSpec& spec) {
  // Qt reads the patterns from the parentheses of a filter; add them when
  // the shown text does not carry them.
  QString filter = toQt(spec.filterText);
  const QString pattern = toQt(spec.pattern);
  if (!pattern.isEmpty() && !filter.contains(QLatin1Char('(') + pattern + QLatin1Char(')'))) {
    filter += QStringLiteral(" (") + pattern + QLatin1Char(')');
  }
  QFileDialog dialog(parent, toQt(spec.title), QDir::currentPath(), filter);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(spec.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(spec.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (dialog.exec() != QDialog::Accepted) return kCancelMark;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty() || chosen.first().isEmpty()) return kCancelMark;
  return fromQt(QDir::toNativeSeparators(chosen.first()));
}

std::string runInputBox(QWidget* parent, const std::string& caption, const std::string& prompt,
                        const std::string& initial) {
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
  if (dialog.exec() != QDialog::Accepted) return kCancelMark;
  return fromQt(field.text());
}

}  // namespace pelisto
