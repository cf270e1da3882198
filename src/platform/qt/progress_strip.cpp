#include "platform/qt/progress_strip.h"

#include <algorithm>

#include "app/forms.h"
#include "platform/qt/qt_text.h"

namespace pelisto {
namespace {

// Below the lowest controls (they end at y 480), aligned with them on the left.
constexpr int kLeft = 104, kTop = 496, kWidth = 320, kHeight = 20;
const FontSpec kProgressFont{"ＭＳ Ｐゴシック", 12, 1};

}  // namespace

std::unique_ptr<QProgressBar> makeProgressStrip(QWidget* client) {
  auto bar = std::make_unique<QProgressBar>(client);
  bar->setObjectName(QStringLiteral("jobProgress"));
  bar->setGeometry(kLeft, kTop, kWidth, kHeight);
  bar->setRange(0, 100);
  bar->setTextVisible(true);
  bar->setFont(qtFont(kProgressFont));
  bar->setFocusPolicy(Qt::NoFocus);
  bar->setAttribute(Qt::WA_TransparentForMouseEvents);
  bar->hide();
  return bar;
}

void setProgress(QProgressBar& bar, const std::string& text, int percent) {
  const int value = std::clamp(percent, 0, 100);
  bar.setFormat(toQt(text) + QStringLiteral(" %p%"));
  bar.setValue(value);
  if (!bar.isVisible()) bar.show();
}

}  // namespace pelisto
