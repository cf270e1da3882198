// The scripted user interface: controls held in memory, dialogs answered
// from a queue, and a transcript of everything the user would have seen.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "model/edit_list.h"
#include "platform/ui.h"

namespace pelisto {

// One line per event, in order ("message: …", "dialog: open …", "mci: …").
class Transcript {
 public:
  void add(std::string line) { m_lines.push_back(std::move(line)); }
  const std::vector<std::string>& lines() const { return m_lines; }
  void clear() { m_lines.clear(); }
  // True once a script fault was reported ("error: …").
  bool faulted() const { return m_faulted; }
  void fault(const std::string& text) {
    add("error: " + text);
    m_faulted = true;
  }

 private:
  std::vector<std::string> m_lines;
  bool m_faulted = false;
};

struct ScriptedAnswer {
  // kRestore: the recovery question's list numbered by text (from 1);
  // kDiscard, kLater: its other two buttons. Yes there restores the first
  // list, No discards, Cancel is later.
  enum Kind { kOpen, kSave, kInput, kCancel, kYes, kNo, kRestore, kDiscard, kLater } kind;
  std::string text;
  std::string filter = {};  // kSave: the pattern of the filter chosen ("*.mp3"); empty: as shown
};

class HeadlessUi final : public Ui {
 public:
  explicit HeadlessUi(Transcript& transcript);

  void queueAnswer(ScriptedAnswer answer) { m_answers.push_back(std::move(answer)); }
  size_t pendingAnswers() const { return m_answers.size(); }
  void setSystemColor(SystemColor which, Rgb color) { m_sysColors[static_cast<int>(which)] = color; }
  // The next cancellable busy scope reports a cancel after n updates.
  void cancelBusyAfter(int updates) { m_cancelAfter = updates; }
  Pointer pointer(Control c) const;
  bool mouseCaptured() const { return m_captured; }
  int busyScopes() const { return m_busyScopes; }
  // The progress display (kept for tests, not written to the transcript).
  bool progressShown() const { return m_progressShown; }
  const std::string& progressText() const { return m_progressText; }
  int progressPercent() const { return m_progressPercent; }
  // The prompt and the initial text of the last input box shown.
  const std::string& lastInputPrompt() const { return m_lastInputPrompt; }
  const std::string& lastInputInitial() const { return m_lastInputInitial; }
  // The choices remembered so far (carried to the next run by a test).
  const std::map<std::string, bool>& choices() const { return m_choices; }
  // The proposed file of the last file dialog shown (empty: none), and the
  // patterns of its filters.
  const std::string& lastDialogInitialPath() const { return m_lastDialogInitialPath; }
  const std::vector<std::string>& lastDialogPatterns() const { return m_lastDialogPatterns; }
  // The texts of the last file dialog's choices of files, in order.
  const std::vector<std::string>& lastDialogFilters() const { return m_lastDialogFilters; }

  void setText(Control control, const std::string& text) override;
  std::string text(Control control) const override;
  void setFont(Control control, const FontSpec& font) override;
  FontSpec font(Control control) const override;
  void hide(Control control) override;
  void show(Control control) override { m_hidden[control] = false; }
  bool isVisible(Control control) const override;
  void setFormHeight(int height) override { m_formHeight = height; }
  int formHeight() const { return m_formHeight; }

  void setScrollRange(int minimum, int maximum) override;
  int scrollMin() const override { return m_scrollMin; }
  int scrollMax() const override { return m_scrollMax; }
  int scrollPos() const override { return m_scrollPos; }
  void setScrollPos(int pos) override;

  void setSelectionListener(std::function<void(int)> listener) override {
    m_selectionListener = std::move(listener);
  }
  void addLine(const std::string& text) override { m_list.add(text); }
  void insertLine(int index, const std::string& text) override;
  void removeLine(int index) override;
  std::string line(int index) const override { return m_list.at(index); }
  int lineCount() const override { return m_list.count(); }
  int selected() const override { return m_list.selected(); }
  void select(int index) override;
  void clearLines() override;

  Canvas& canvas(Control control) override;

  void setPointer(Control control, Pointer pointer) override;
  void captureMouse(Control control) override;
  void releaseMouse() override { m_captured = false; }

  void setChecked(MenuItem item, bool checked) override;
  bool isChecked(MenuItem item) const override;
  void setEnabled(MenuItem item, bool enabled) override { m_disabled[item] = !enabled; }
  bool isEnabled(MenuItem item) const override;
  // Remembered in memory, for as long as the object lives.
  bool rememberedChoice(const std::string& key) const override;
  void rememberChoice(const std::string& key, bool value) override { m_choices[key] = value; }
  std::string rememberedName(const std::string& key) const override;
  void rememberName(const std::string& key, const std::string& value) override { m_names[key] = value; }

  void messageBox(const std::string& caption, const std::string& text) override;
  // Written as a message box ("message: TEXT").
  void inform(const std::string& caption, const std::string& text) override { messageBox(caption, text); }
  Answer question(const std::string& caption, const std::string& text) override;
  RecoveryReply askRecovery(const std::string& caption, const std::string& text,
                            const std::vector<std::string>& lists) override;
  std::optional<FileChoice> chooseFile(const FileDialogSpec& spec) override;
  std::optional<std::string> inputBox(const std::string& caption, const std::string& prompt,
                                      const std::string& initial) override;
  void showAbout(const std::function<void(Canvas&)>& paint) override;
  void closeAbout(int value) override;
  Rgb systemColor(SystemColor which) const override;
  std::unique_ptr<BusyScope> beginBusy(const std::string& caption, bool cancellable) override;
  void notice(const std::string& text) override;
  void showProgress(const std::string& text, int percent) override {
    m_progressShown = true;
    m_progressText = text;
    m_progressPercent = percent;
  }
  void hideProgress() override { m_progressShown = false; }

 private:
  bool takeAnswer(ScriptedAnswer& out, const std::string& what);
  // Tells the listener when the selected line is no longer `before`.
  void reportSelection(int before);

  Transcript& m_transcript;
  std::deque<ScriptedAnswer> m_answers;
  std::map<Control, std::string> m_texts;
  std::map<Control, FontSpec> m_fonts;
  std::map<Control, bool> m_hidden;
  std::map<Control, Pointer> m_pointers;
  std::map<MenuItem, bool> m_checked;
  std::map<MenuItem, bool> m_disabled;
  std::map<std::string, bool> m_choices;
  std::map<std::string, std::string> m_names;
  int m_scrollMin = 0, m_scrollMax = 0, m_scrollPos = 0;
  ListLines m_list;
  std::function<void(int)> m_selectionListener;
  std::map<Control, std::unique_ptr<Canvas>> m_canvases;  // MAINFORM, the pictures, FORM3
  int m_formHeight = 0;
  Rgb m_sysColors[2] = {Rgb{212, 208, 200}, Rgb{0, 0, 0}};
  bool m_captured = false;
  int m_cancelAfter = -1;
  int m_busyScopes = 0;
  bool m_progressShown = false;
  std::string m_progressText;
  int m_progressPercent = 0;
  std::string m_lastInputPrompt;
  std::string m_lastInputInitial;
  std::string m_lastDialogInitialPath;
  std::vector<std::string> m_lastDialogPatterns;
  std::vector<std::string> m_lastDialogFilters;
};

}  // namespace pelisto
