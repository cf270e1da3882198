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

// Maps the program's face names to installed faces (once per process).
void installFontSubstitutions();

// The font for spec: the program's face name (resolved through the
// substitutions), heightPx as the pixel size, glyphs stretched by widthFactor.
QFont qtFont(const FontSpec& spec);

class QtTextRenderer final : public TextRenderer {
 public:
  void drawText(Canvas& canvas, int x, int y, const std::string& utf8, const FontSpec& font,
                Rgb color) override;
};

}  // namespace pelisto
