// Widgets that show a canvas: the main window's client area (with the
// controls on top of it), PICTURE1's client area inside its border, and
// the about window's client area. They repaint the changed part of the
// canvas (at most once a frame) and whatever is uncovered, and report mouse
// input in their own pixels.
#pragma once

#include <QElapsedTimer>
#include <QFrame>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <utility>

#include "platform/canvas.h"

namespace pelisto {

enum class MouseAction { kMove, kPress, kRelease };

// button: 1 left, 2 right, 4 middle (the held buttons for a move, the
// changed button for a press or release); x, y in the widget's pixels.
using MouseSink = std::function<void(MouseAction action, int button, int x, int y)>;

// The shortest time between two repaints of a canvas's changes. A playing
// file's cursor changes the picture every few milliseconds, and every
// repaint costs round trips to the display server; 25 frames a second
// keep the cursor moving smoothly.
constexpr int kFrameIntervalMs = 40;

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
  void report(MouseAction action, QMouseEvent* event);
  // Schedules the repaint of what has changed: now, or when the current
  // frame is over.
  void canvasChanged();
  void showChanges();

  Canvas& m_canvas;
  MouseSink m_sink;
  QTimer m_frame;              // runs while changes wait for their frame
  QElapsedTimer m_lastRepaint;
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
