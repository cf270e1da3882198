#include "qt/recovery_dialog.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "qt/qt_text.h"

namespace pelisto {
namespace {

constexpr int kIconSize = 32;
constexpr int kShownLists = 8;  // the list is as tall as this many lines, and scrolls past them

QPushButton* addButton(QDialogButtonBox& box, const char* name, const QString& text,
                       QDialogButtonBox::ButtonRole role) {
  QPushButton* button = box.addButton(text, role);
  button->setObjectName(QLatin1String(name));
  return button;
}

}  // namespace

RecoveryReply askRecoveryQuestion(QWidget* parent, const std::string& caption, const std::string& text,
                                  const std::vector<std::string>& lists) {
  QDialog dialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                             Qt::WindowCloseButtonHint);
  dialog.setObjectName(QStringLiteral("recoveryQuestion"));
  dialog.setWindowTitle(toQt(caption));
  QVBoxLayout layout(&dialog);
  QHBoxLayout top;
  QLabel icon(&dialog);
  icon.setPixmap(QApplication::style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(kIconSize));
  icon.setAlignment(Qt::AlignTop);
  QLabel label(toQt(text), &dialog);
  label.setObjectName(QStringLiteral("text"));
  top.addWidget(&icon);
  top.addWidget(&label, 1);
  layout.addLayout(&top);

  QListWidget choices(&dialog);
  choices.setObjectName(QStringLiteral("lists"));
  if (lists.size() > 1) {
    for (const std::string& line : lists) choices.addItem(toQt(line));
    choices.setCurrentRow(0);
    const int rowHeight = choices.sizeHintForRow(0);
    choices.setFixedHeight(rowHeight * std::min<int>(kShownLists, static_cast<int>(lists.size())) +
                           2 * choices.frameWidth());
    choices.setMinimumWidth(choices.sizeHintForColumn(0) + 2 * choices.frameWidth() + 24);
    layout.addWidget(&choices);
  } else {
    choices.hide();
  }

  QDialogButtonBox buttons(&dialog);
  QPushButton* restore = addButton(buttons, "restore", QStringLiteral("復元する"), QDialogButtonBox::AcceptRole);
  QPushButton* discard = addButton(buttons, "discard", QStringLiteral("破棄する"), QDialogButtonBox::DestructiveRole);
  QPushButton* later = addButton(buttons, "later", QStringLiteral("後で"), QDialogButtonBox::RejectRole);
  restore->setDefault(true);
  RecoveryReply reply;
  QObject::connect(restore, &QPushButton::clicked, &dialog, [&] {
    reply = {RecoveryReply::kRestore, std::max(0, choices.currentRow())};
    dialog.accept();
  });
  QObject::connect(discard, &QPushButton::clicked, &dialog, [&] {
    reply = {RecoveryReply::kDiscard, 0};
    dialog.accept();
  });
  QObject::connect(later, &QPushButton::clicked, &dialog, &QDialog::reject);
  // A double click on a list restores it.
  QObject::connect(&choices, &QListWidget::itemDoubleClicked, restore, &QPushButton::click);
  layout.addWidget(&buttons);
  if (dialog.exec() != QDialog::Accepted) return RecoveryReply{};
  return reply;
}

}  // namespace pelisto
