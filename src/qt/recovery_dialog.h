// The question at start about edit lists left unsaved (Ui::askRecovery).
#pragma once

#include <QWidget>

#include <string>
#include <vector>

#include "platform/ui.h"

namespace pelisto {

// Modal over parent: text with the question icon, the lists to choose
// from when there are several (the first chosen), and the buttons
// 復元する, 破棄する and 後で. Escape and the close box answer 後で.
// Its parts are named for tests: the box "recoveryQuestion", the list
// "lists", the buttons "restore", "discard" and "later".
RecoveryReply askRecoveryQuestion(QWidget* parent, const std::string& caption, const std::string& text,
                                  const std::vector<std::string>& lists);

}  // namespace pelisto
