// Widgets that show a canvas: the main window's client area (with the
// controls on top of it), PICTURE1's client area inside its border, and
// the about window's client area. They repaint from the canvas whenever it
// changes or is uncovered, and report mouse input in their own pixels.
#pragma once

#include <QFrame>
#include <QWidget>

#include <functional>

#include "platform/canvas.h"

namespace pelisto {

// kind: 0 move, 1 press, 2 release; button: 1 left, 2 right, 4 middle
// (held buttons for a move, the changed button for a press or release).
using MouseSink = std::function<void(int kind, int button, int x, int y)>;

class CanvasWidget : public QWidget {
  Q_OBJECT

 public:
  CanvasWidget(Canvas& canvas, QWidget* parent);
  ~CanvasWidget() override;
  void setMouseSink(MouseSink sink) { m_sink = std::move(sink); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void report(int kind, QMouseEvent* event);

  Canvas& m_canvas;
  MouseSink m_sink;
};

// A picture box: a one-pixel border around a canvas of the client size.
class PictureBox : public QFrame {
  Q_OBJECT

 public:
  PictureBox(Canvas& canvas, QWidget* parent);
  CanvasWidget* client() { return &m_client; }

 private:
  CanvasWidget m_client;
};

}  // namespace pelisto
