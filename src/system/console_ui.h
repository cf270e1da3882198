// The user interface of a command run from a terminal without a window
// (pelisto --write): messages and notices go to standard error, the
// progress of long work is one line there, and Ctrl+C (SIGINT) or SIGTERM
// during it cancels the work as the cancel button would. Nothing is
// asked: dialogs and questions are cancelled. The controls are kept in
// memory, so that the program's commands run as they do in the window;
// what they draw is not kept.
#pragma once

#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "platform/list_lines.h"
#include "platform/ui.h"

namespace pelisto {

class ConsoleUi final : public Ui {
 public:
  // Writes to err (standard error in the program); program begins the
  // messages ("pelisto: …").
  ConsoleUi(std::FILE* err, std::string program);

  void setText(Control control, const std::string& text) override { m_texts[control] = text; }
  std::string text(Control control) const override;
  void setFont(Control control, const FontSpec& font) override { m_fonts[control] = font; }
  FontSpec font(Control control) const override;
  void hide(Control) override {}
  void show(Control) override {}
  bool isVisible(Control) const override { return false; }
  void setFormHeight(int) override {}

  void setScrollRange(int minimum, int maximum) override;
  int scrollMin() const override { return m_scrollMin; }
  int scrollMax() const override { return m_scrollMax; }
  int scrollPos() const override { return m_scrollPos; }
  void setScrollPos(int pos) override;

  // The list is only kept: nobody watches its selection.
  void setSelectionListener(std::function<void(int)>) override {}
  void addLine(const std::string& text) override { m_list.add(text); }
  void insertLine(int index, const std::string& text) override { m_list.insert(index, text); }
  void removeLine(int index) override { m_list.remove(index); }
  std::string line(int index) const override { return m_list.at(index); }
  int lineCount() const override { return m_list.count(); }
  int selected() const override { return m_list.selected(); }
  void select(int index) override { m_list.select(index); }
  void clearLines() override { m_list.clear(); }

  Canvas& canvas(Control control) override;

  void setPointer(Control, Pointer) override {}
  void captureMouse(Control) override {}
  void releaseMouse() override {}

  void setChecked(MenuItem item, bool checked) override { m_checked[item] = checked; }
  bool isChecked(MenuItem item) const override;
  // No menu is shown: every item can be chosen.
  void setEnabled(MenuItem, bool) override {}
  bool isEnabled(MenuItem) const override { return true; }
  // Nothing is remembered: a command line says what it wants.
  bool rememberedChoice(const std::string&) const override { return false; }
  void rememberChoice(const std::string&, bool) override {}
  std::string rememberedName(const std::string&) const override { return std::string(); }
  void rememberName(const std::string&, const std::string&) override {}

  void messageBox(const std::string& caption, const std::string& text) override;
  // Told as a notice is.
  void inform(const std::string&, const std::string& text) override { notice(text); }
  Answer question(const std::string& caption, const std::string& text) override;
  // Lists left unsaved wait for the next start in a window.
  RecoveryReply askRecovery(const std::string&, const std::string&, const std::vector<std::string>&) override {
    return RecoveryReply{};
  }
  std::optional<FileChoice> chooseFile(const FileDialogSpec&) override { return std::nullopt; }
  std::optional<std::string> inputBox(const std::string&, const std::string&, const std::string&) override {
    return std::nullopt;
  }
  void showAbout(const std::function<void(Canvas&)>&) override {}
  void closeAbout(int) override {}
  Rgb systemColor(SystemColor which) const override;
  std::unique_ptr<BusyScope> beginBusy(const std::string& caption, bool cancellable) override;
  void showProgress(const std::string&, int) override {}
  void hideProgress() override {}
  void notice(const std::string& text) override;

  // Messages shown so far (refusals and failures).
  int messages() const { return m_messages; }

 private:
  std::FILE* m_err;
  std::string m_program;
  std::map<Control, std::string> m_texts;
  std::map<Control, FontSpec> m_fonts;
  std::map<MenuItem, bool> m_checked;
  int m_scrollMin = 0, m_scrollMax = 0, m_scrollPos = 0;
  ListLines m_list;
  // Drawn on and never shown.
  Canvas m_canvas{1, 1};
  int m_messages = 0;
};

}  // namespace pelisto
