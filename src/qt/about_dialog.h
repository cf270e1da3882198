// The about window FORM3: a fixed client area showing its canvas, and the
// button BUTTON13 that ends it (through the program's handler).
#pragma once

#include <QDialog>
#include <QPushButton>

#include <functional>

#include "qt/canvas_widget.h"

namespace pelisto {

class AboutDialog final : public QDialog {
  Q_OBJECT

 public:
  AboutDialog(Canvas& canvas, QWidget* parent, std::function<void()> buttonClicked);
  QPushButton* button() { return &m_button; }

 private:
  CanvasWidget m_client;
  QPushButton m_button;
};

}  // namespace pelisto
