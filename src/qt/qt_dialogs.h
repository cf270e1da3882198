// The standard boxes and dialogs of the desktop, all modal over parent and
// all Qt's own (not the platform's), so tests can drive them.
#pragma once

#include <QWidget>

#include <optional>
#include <string>

#include "platform/ui.h"

namespace pelisto {

constexpr int kInputMaxLength = 64;

// The boxes show each sentence of their text's first line (the program's
// own words; names and reasons follow on lines of their own) on a line of
// its own, so that no sentence is broken where it need not be.

// OK box with the stop icon.
void showStopBox(QWidget* parent, const std::string& caption, const std::string& text);
// OK box with the information icon.
void showInformationBox(QWidget* parent, const std::string& caption, const std::string& text);
// Yes/No/Cancel box with the question icon; closing it answers kCancel.
Answer askQuestion(QWidget* parent, const std::string& caption, const std::string& text);
// Open or save dialog in the folder last used for its kind of file (else
// the current directory): the chosen path and filter, nothing when
// cancelled.
std::optional<FileChoice> runFileDialog(QWidget* parent, const FileDialogSpec& spec);
// One-line input box: the field's text, nothing on Cancel or close.
std::optional<std::string> runInputBox(QWidget* parent, const std::string& caption,
                                       const std::string& prompt, const std::string& initial);

}  // namespace pelisto
