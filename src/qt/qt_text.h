// Fonts and text drawing for the desktop: the program's face names mapped
// to installed faces, and text rendered into a canvas's pixels.
#pragma once

#include <QFont>
#include <QString>

#include <string>

#include "platform/canvas.h"

namespace pelisto {

inline QString toQt(const std::string& utf8) { return QString::fromStdString(utf8); }
inline std::string fromQt(const QString& text) { return text.toStdString(); }

// Maps the program's face names to installed faces (once per process), for
// any text that still names them.
void installFontSubstitutions();

// The installed face that stands for one of the program's face names
// ("ＭＳ Ｐゴシック" → IPAPGothic, "ＭＳ ゴシック" → IPAGothic, "ＭＳ 明朝" →
// IPAMincho, "FixedSys" → a fixed-pitch face found once); other names as
// they are.
QString installedFace(const std::string& face);

// The font for spec: the installed face named directly (so Qt runs no
// substitution or fallback search for it), heightPx as the pixel size,
// glyphs stretched by widthFactor.
QFont qtFont(const FontSpec& spec);

// The start-up benchmark compares the fonts above with fonts that name the
// program's faces and leave them to the substitutions (the earlier way).
void nameFacesThroughSubstitutions(bool on);

class QtTextRenderer final : public TextRenderer {
 public:
  void drawText(Canvas& canvas, int x, int y, const std::string& utf8, const FontSpec& font,
                Rgb color) override;
};

}  // namespace pelisto
