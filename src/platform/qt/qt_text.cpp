#include "platform/qt/qt_text.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QStringList>

namespace pelisto {

void installFontSubstitutions() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
  QFont::insertSubstitution(QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"));
  QFont::insertSubstitution(QStringLiteral("ＭＳ 明朝"), QStringLiteral("IPAMincho"));
  const QString fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
  QFont::insertSubstitutions(QStringLiteral("FixedSys"),
                             QStringList{QStringLiteral("DejaVu Sans Mono"), fixed,
                                         QStringLiteral("IPAGothic")});
}

QFont qtFont(const FontSpec& spec) {
  installFontSubstitutions();
  QFont font(spec.face.empty() ? QStringLiteral("ＭＳ Ｐゴシック") : toQt(spec.face));
  font.setPixelSize(spec.heightPx > 0 ? spec.heightPx : 13);
  font.setStyleStrategy(QFont::PreferAntialias);
  return font;
}

void QtTextRenderer::drawText(Canvas& canvas, int x, int y, const std::string& utf8,
                              const FontSpec& spec, Rgb color) {
  QImage image(reinterpret_cast<uchar*>(canvas.pixels()), canvas.width(), canvas.height(),
               canvas.width() * 4, QImage::Format_RGB32);
  QPainter painter(&image);
  const QFont font = qtFont(spec);
  painter.setFont(font);
  painter.setPen(QColor(color.r, color.g, color.b));
  // Top-left of the text cell at (x, y); a wider font is the same glyphs
  // scaled horizontally about that corner.
  painter.translate(x, y);
  if (spec.widthFactor > 1) painter.scale(spec.widthFactor, 1.0);
  painter.drawText(QPointF(0, QFontMetrics(font).ascent()), toQt(utf8));
}

}  // namespace pelisto
