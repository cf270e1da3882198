#include "qt/qt_text.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QStringList>

namespace pelisto {

namespace {

const QString kGothicP = QStringLiteral("IPAPGothic");
const QString kGothic = QStringLiteral("IPAGothic");
const QString kMincho = QStringLiteral("IPAMincho");
bool g_throughSubstitutions = false;

// A fixed-pitch face for FixedSys: DejaVu Sans Mono, else the desktop's
// fixed font, else IPAGothic (whose Latin letters are of one width).
const QString& fixedFace() {
  static const QString face = [] {
    const QStringList families = QFontDatabase::families();
    for (const QString& f : {QStringLiteral("DejaVu Sans Mono"),
                             QFontDatabase::systemFont(QFontDatabase::FixedFont).family()}) {
      if (families.contains(f)) return f;
    }
    return kGothic;
  }();
  return face;
}

}  // namespace

void installFontSubstitutions() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), kGothicP);
  QFont::insertSubstitution(QStringLiteral("ＭＳ ゴシック"), kGothic);
  QFont::insertSubstitution(QStringLiteral("ＭＳ 明朝"), kMincho);
  const QString fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
  QFont::insertSubstitutions(QStringLiteral("FixedSys"),
                             QStringList{QStringLiteral("DejaVu Sans Mono"), fixed, kGothic});
}

QString installedFace(const std::string& face) {
  if (face.empty() || face == "ＭＳ Ｐゴシック") return kGothicP;
  if (face == "ＭＳ ゴシック") return kGothic;
  if (face == "ＭＳ 明朝") return kMincho;
  if (face == "FixedSys") return fixedFace();
  return toQt(face);
}

void nameFacesThroughSubstitutions(bool on) { g_throughSubstitutions = on; }

QFont qtFont(const FontSpec& spec) {
  installFontSubstitutions();
  QFont font(!g_throughSubstitutions  ? installedFace(spec.face)
             : spec.face.empty() ? QStringLiteral("ＭＳ Ｐゴシック")
                                 : toQt(spec.face));
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
