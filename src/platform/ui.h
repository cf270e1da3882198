// The operations the handlers use on windows, controls, the menu and the
// standard dialogs. Implemented by the desktop (src/qt) and by the
// scripted headless backend (src/headless).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/canvas.h"
#include "platform/controls.h"

namespace pelisto {

enum class Pointer { kArrow, kSizeWE, kWait };
enum class Answer { kYes, kNo, kCancel };
enum class SystemColor { kButtonFace, kButtonText };

// A further choice of files in a dialog: its text ("すべてのファイル(*)") and
// patterns separated by blanks ("*").
struct FileFilter {
  std::string text;
  std::string patterns;
};

struct FileDialogSpec {
  FileDialogSpec(std::string title_, std::string filterText_, std::string pattern_, bool save_ = false,
                 std::string initialPath_ = {})
      : title(std::move(title_)),
        filterText(std::move(filterText_)),
        pattern(std::move(pattern_)),
        save(save_),
        initialPath(std::move(initialPath_)) {}
  std::string title;
  std::string filterText;   // "waveファイル(*.wav)"
  std::string pattern;      // "*.wav"
  bool save = false;        // a save dialog asks before replacing a file
  std::string initialPath;  // the proposed file (its folder and name), or a
                            // folder ending in "/" (no name); empty: the
                            // current directory and no name
  std::vector<FileFilter> moreFilters = {};  // offered after the first
  size_t filter = 0;  // the one shown at first: 0 the first, k moreFilters[k - 1]
};

// What a file dialog chose: the path, and the filter shown when it was
// accepted (counted as FileDialogSpec::filter counts).
struct FileChoice {
  std::string path;
  size_t filter = 0;
};

// What the user answered to the question about lists left unsaved.
struct RecoveryReply {
  enum Action { kRestore, kDiscard, kLater } action = kLater;
  int list = 0;  // kRestore: the index of the list chosen
};

// Held while a long operation runs: the wait pointer, the mouse captured by
// the main window, other input held off; a progress display appears when
// the work lasts longer than about half a second.
class BusyScope {
 public:
  virtual ~BusyScope() = default;
  // Reports progress (done of total units). Returns false once the user
  // asked to cancel (only when the scope was made cancellable).
  virtual bool update(uint64_t done, uint64_t total) = 0;
};

class Ui {
 public:
  Ui() = default;
  Ui(const Ui&) = delete;
  Ui& operator=(const Ui&) = delete;
  virtual ~Ui() = default;

  // Text of a label, edit box or window title (MAINFORM, FORM3).
  virtual void setText(Control control, const std::string& text) = 0;
  virtual std::string text(Control control) const = 0;
  virtual void setFont(Control control, const FontSpec& font) = 0;
  virtual FontSpec font(Control control) const = 0;
  virtual void hide(Control control) = 0;
  virtual void show(Control control) = 0;
  virtual bool isVisible(Control control) const = 0;
  // MAINFORM's client height in pixels (its width never changes): the
  // controls keep their places, the form's canvas shows that much of itself.
  virtual void setFormHeight(int height) = 0;

  // HSCROLL1: position in seconds, clamped to the range by setScrollPos.
  virtual void setScrollRange(int minimum, int maximum) = 0;
  virtual int scrollMin() const = 0;
  virtual int scrollMax() const = 0;
  virtual int scrollPos() const = 0;
  virtual void setScrollPos(int pos) = 0;

  // LIST1. Indices from 0; selected() is -1 when no line is selected. The
  // listener is told the selected line after each change of the selection,
  // the user's and the program's alike (null: nobody is told).
  virtual void setSelectionListener(std::function<void(int)> listener) = 0;
  virtual void addLine(const std::string& text) = 0;
  virtual void insertLine(int index, const std::string& text) = 0;
  virtual void removeLine(int index) = 0;
  virtual std::string line(int index) const = 0;
  virtual int lineCount() const = 0;
  virtual int selected() const = 0;
  virtual void select(int index) = 0;
  virtual void clearLines() = 0;

  // Backing bitmaps of the client areas of MAINFORM (as high as it can
  // grow), of every picture control of the form table and of FORM3. Any
  // other control has none: asking for its canvas is a programming error.
  virtual Canvas& canvas(Control control) = 0;

  // Pointer shape over a window; kArrow also releases a mouse capture.
  virtual void setPointer(Control control, Pointer pointer) = 0;
  virtual void captureMouse(Control control) = 0;
  virtual void releaseMouse() = 0;

  virtual void setChecked(MenuItem item, bool checked) = 0;
  virtual bool isChecked(MenuItem item) const = 0;
  // A disabled menu item cannot be chosen, nor its key pressed; every item
  // is enabled until told otherwise.
  virtual void setEnabled(MenuItem item, bool enabled) = 0;
  virtual bool isEnabled(MenuItem item) const = 0;

  // A yes/no choice remembered from one run to the next under key (the
  // desktop keeps it in the user's settings); false until first set.
  virtual bool rememberedChoice(const std::string& key) const = 0;
  virtual void rememberChoice(const std::string& key, bool value) = 0;
  // A choice among names, remembered the same way; empty until first set.
  virtual std::string rememberedName(const std::string& key) const = 0;
  virtual void rememberName(const std::string& key, const std::string& value) = 0;

  // OK box with the stop icon.
  virtual void messageBox(const std::string& caption, const std::string& text) = 0;
  // OK box with the information icon, modal as the others: how something
  // that went well turned out.
  virtual void inform(const std::string& caption, const std::string& text) = 0;
  // Yes/No/Cancel box with the question icon; closing it answers kCancel.
  virtual Answer question(const std::string& caption, const std::string& text) = 0;
  // The question at start about edit lists left unsaved: text, and with
  // more than one list the lists (a line each, the first chosen at first)
  // to choose the one to restore from. Buttons 復元する, 破棄する, 後で;
  // closing the box answers kLater.
  virtual RecoveryReply askRecovery(const std::string& caption, const std::string& text,
                                    const std::vector<std::string>& lists) = 0;
  // The chosen full path and filter; nothing when the dialog was
  // cancelled or gave no name. Starts in the current directory (the
  // desktop: in the folder last used for that kind of file).
  virtual std::optional<FileChoice> chooseFile(const FileDialogSpec& spec) = 0;
  // The chosen full path alone.
  std::optional<std::string> fileDialog(const FileDialogSpec& spec) {
    std::optional<FileChoice> choice = chooseFile(spec);
    if (!choice) return std::nullopt;
    return std::move(choice->path);
  }
  // Modal one-line input box, 64-character field: the text; nothing when
  // it was cancelled.
  virtual std::optional<std::string> inputBox(const std::string& caption, const std::string& prompt,
                                              const std::string& initial) = 0;

  // Shows FORM3 modally: paint runs once on its client canvas before it
  // takes input; returns when BUTTON13 or the close box ends it.
  virtual void showAbout(const std::function<void(Canvas&)>& paint) = 0;
  // Ends the about window (BUTTON13_ON).
  virtual void closeAbout(int value) = 0;

  virtual Rgb systemColor(SystemColor which) const = 0;

  virtual std::unique_ptr<BusyScope> beginBusy(const std::string& caption, bool cancellable) = 0;
  // A small display of a job running behind the window: text and a
  // percentage (0..100), updated by calling again. Unlike a busy scope it
  // takes no input and holds nothing off.
  virtual void showProgress(const std::string& text, int percent) = 0;
  virtual void hideProgress() = 0;
  // A one-time notice (for example: no sound device found).
  virtual void notice(const std::string& text) = 0;
};

}  // namespace pelisto
