// The progress display of a job running behind the main window: its text
// with the percentage, and a slim bar beside it, in the free strip of the
// client area below the controls. It takes no input; the window stays
// usable around it.
#pragma once

#include <QLabel>
#include <QProgressBar>
#include <QWidget>

#include <string>

namespace pelisto {

class ProgressStrip final : public QWidget {
 public:
  // Hidden, as a child of the main window's client area.
  explicit ProgressStrip(QWidget* client);

  // Shows text and percent (0..100).
  void show(const std::string& text, int percent);
  QLabel& label() { return m_label; }
  QProgressBar& bar() { return m_bar; }

 private:
  QLabel m_label;
  QProgressBar m_bar;
};

}  // namespace pelisto
