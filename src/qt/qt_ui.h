// The desktop user interface: the main window, its controls and menu, the
// about window and the standard dialogs behind the Ui operations. Input
// reaches the program as Events through the sink; nothing here decides
// what an event means.
#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>

#include <functional>
#include <map>
#include <set>
#include <memory>

#include "qt/about_dialog.h"
#include "qt/main_window.h"
#include "qt/progress_strip.h"
#include "qt/qt_text.h"
#include "platform/ui.h"

namespace pelisto {

class QtUi final : public Ui {
 public:
  QtUi();
  ~QtUi() override;

  // Where events go: the main window's sink (the program dispatches them
  // to their handlers).
  void setEventSink(EventSink sink) { m_window->setEventSink(std::move(sink)); }
  // Runs event on the user-interface thread later, in the order posted.
  // Safe from any thread (the sound device's completions come this way).
  void post(const Event& event);

  MainWindow& window() { return *m_window; }
  QWidget* widget(Control control) const;
  AboutDialog* aboutDialog() const { return m_about; }

  void setText(Control control, const std::string& text) override;
  std::string text(Control control) const override;
  void setFont(Control control, const FontSpec& font) override;
  FontSpec font(Control control) const override;
  void hide(Control control) override;
  void show(Control control) override;
  bool isVisible(Control control) const override;
  void setFormHeight(int height) override;

  void setScrollRange(int minimum, int maximum) override;
  int scrollMin() const override;
  int scrollMax() const override;
  int scrollPos() const override;
  void setScrollPos(int pos) override;

  void setSelectionListener(std::function<void(int)> listener) override;
  void addLine(const std::string& text) override;
  void insertLine(int index, const std::string& text) override;
  void removeLine(int index) override;
  std::string line(int index) const override;
  int lineCount() const override;
  int selected() const override;
  void select(int index) override;
  void clearLines() override;

  Canvas& canvas(Control control) override;

  void setPointer(Control control, Pointer pointer) override;
  void captureMouse(Control control) override;
  void releaseMouse() override;

  void setChecked(MenuItem item, bool checked) override;
  bool isChecked(MenuItem item) const override;
  void setEnabled(MenuItem item, bool enabled) override;
  bool isEnabled(MenuItem item) const override;
  bool rememberedChoice(const std::string& key) const override;
  void rememberChoice(const std::string& key, bool value) override;
  std::string rememberedName(const std::string& key) const override;
  void rememberName(const std::string& key, const std::string& value) override;

  void messageBox(const std::string& caption, const std::string& text) override;
  void inform(const std::string& caption, const std::string& text) override;
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
  void showProgress(const std::string& text, int percent) override;
  void hideProgress() override;
  ProgressStrip* progressStrip() const { return m_progress; }

 private:
  // The window a box or dialog belongs to: the modal one on top, if any.
  // What the user holds down in the main window ends first.
  QWidget* dialogParent();

  QtTextRenderer m_renderer;
  // MAINFORM's canvas and those of the picture controls, made from the
  // form table before the window that shows them.
  std::map<Control, std::unique_ptr<Canvas>> m_canvases;
  std::unique_ptr<Canvas> m_form3Canvas;
  std::function<void(int)> m_selectionListener;
  std::map<Control, FontSpec> m_fonts;
  std::set<Control> m_hidden;
  std::unique_ptr<MainWindow> m_window;  // the one window without a parent
  // The rest belong to the main window (Qt deletes them with it).
  AboutDialog* m_about = nullptr;  // while FORM3 is shown
  QPointer<QMessageBox> m_notice;  // the last notice
  ProgressStrip* m_progress = nullptr;  // on the main window, below the controls
  QObject m_receiver;  // context of posted events, on the user-interface thread
};

}  // namespace pelisto
