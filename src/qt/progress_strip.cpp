#include "qt/progress_strip.h"

#include <algorithm>

#include "model/forms.h"
#include "qt/qt_text.h"

namespace pelisto {
namespace {

// Below the lowest controls (they end at y 480), aligned with them on the
// left; the text in front, the bar after it.
constexpr int kLeft = 104, kTop = 496, kWidth = 400, kHeight = 20;
constexpr int kTextWidth = 190;
const FontSpec kProgressFont{"ＭＳ Ｐゴシック", 12, 1};

}  // namespace

ProgressStrip::ProgressStrip(QWidget* client) : QWidget(client), m_label(this), m_bar(this) {
  setObjectName(QStringLiteral("jobProgress"));
  setGeometry(kLeft, kTop, kWidth, kHeight);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  m_label.setGeometry(0, 0, kTextWidth, kHeight);
  m_label.setFont(qtFont(kProgressFont));
  m_bar.setGeometry(kTextWidth, 3, kWidth - kTextWidth, kHeight - 6);
  m_bar.setRange(0, 100);
  m_bar.setTextVisible(false);
  m_bar.setFocusPolicy(Qt::NoFocus);
  hide();
}

void ProgressStrip::show(const std::string& text, int percent) {
  const int value = std::clamp(percent, 0, 100);
  m_label.setText(toQt(text) + QStringLiteral(" %1%").arg(value));
  m_bar.setValue(value);
  if (!isVisible()) QWidget::show();
}

}  // namespace pelisto
