#include "qt/canvas_widget.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace pelisto {
namespace {

int buttonBits(Qt::MouseButtons buttons) {
  int bits = 0;
  if (buttons & Qt::LeftButton) bits |= 1;
  if (buttons & Qt::RightButton) bits |= 2;
  if (buttons & Qt::MiddleButton) bits |= 4;
  return bits;
}

}  // namespace

CanvasWidget::CanvasWidget(Canvas& canvas, QWidget* parent) : QWidget(parent), m_canvas(canvas) {
  setFixedSize(canvas.width(), canvas.height());
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoMousePropagation);
  setMouseTracking(true);
  m_frame.setSingleShot(true);
  connect(&m_frame, &QTimer::timeout, this, &CanvasWidget::showChanges);
  m_canvas.setChangeListener([this] { canvasChanged(); });
}

// The canvas may outlive the window that showed it (the about window's).
CanvasWidget::~CanvasWidget() { m_canvas.setChangeListener(nullptr); }

void CanvasWidget::canvasChanged() {
  if (m_frame.isActive()) return;  // the waiting repaint will show this change too
  const qint64 since = m_lastRepaint.isValid() ? m_lastRepaint.elapsed() : kFrameIntervalMs;
  if (since >= kFrameIntervalMs) {
    showChanges();
  } else {
    m_frame.start(int(kFrameIntervalMs - since));
  }
}

void CanvasWidget::showChanges() {
  // Only the box of changed pixels: a moving cursor is a column or two.
  const PixelBox box = m_canvas.takeDirty();
  if (box.empty()) return;
  update(box.left, box.top, box.right - box.left + 1, box.bottom - box.top + 1);
  m_lastRepaint.restart();
}

void CanvasWidget::paintEvent(QPaintEvent* event) {
  const QImage image(reinterpret_cast<const uchar*>(m_canvas.pixels()), m_canvas.width(),
                     m_canvas.height(), m_canvas.width() * 4, QImage::Format_RGB32);
  QPainter painter(this);
  painter.drawImage(event->rect(), image, event->rect());
}

void CanvasWidget::report(MouseAction action, QMouseEvent* event) {
  event->accept();
  if (!m_sink) return;
  const int button = action == MouseAction::kMove ? buttonBits(event->buttons())
                                                  : buttonBits(event->button());
  const QPointF p = event->position();
  m_sink(action, button, static_cast<int>(std::floor(p.x())), static_cast<int>(std::floor(p.y())));
}

void CanvasWidget::mousePressEvent(QMouseEvent* event) { report(MouseAction::kPress, event); }
void CanvasWidget::mouseMoveEvent(QMouseEvent* event) { report(MouseAction::kMove, event); }
void CanvasWidget::mouseReleaseEvent(QMouseEvent* event) { report(MouseAction::kRelease, event); }

PictureBox::PictureBox(Canvas& canvas, QWidget* parent) : QFrame(parent), m_client(canvas, this) {
  setFrameStyle(QFrame::Box | QFrame::Plain);
  setLineWidth(1);
  setAttribute(Qt::WA_NoMousePropagation);
  m_client.move(1, 1);
}

}  // namespace pelisto
