// The about window: shown modally from the menu, painted once, closed by
// its button or its close box.
#include "shell/about.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "shell/handlers.h"
#include "shell/version.h"

namespace pelisto {
namespace {

constexpr int kLineEnd = 480;  // every line spans x 0..480, clipped to the client area

struct AboutText {
  const char* text;
  int size, widthFactor, x, y;
  Rgb color;
};

}  // namespace

void paintAbout(Canvas& form3, int h) {
  // Brightest at the bottom, 0.6 darker per row upwards.
  double c = 255.0;
  for (int y = h; y >= 0; --y) {
    double blue = std::clamp(std::round(c), 0.0, 255.0);
    form3.line(0, y, kLineEnd, y, Rgb{0, 0, static_cast<uint8_t>(blue)});
    c -= 0.6;
  }
  form3.line(0, 63, kLineEnd, 63, Rgb{0, 0, 0});
  form3.line(0, 64, kLineEnd, 64, Rgb{0, 0, 144});
  form3.line(0, 127, kLineEnd, 127, Rgb{0, 0, 96});
  form3.line(0, 128, kLineEnd, 128, Rgb{0, 0, 192});

  const std::string title = std::string("Pelisto　V") + kVersion;
  const AboutText texts[] = {
      {title.c_str(), 32, 1, 16, 80, kAboutTitleText},
      {"waveフォーマットファイル", 16, 2, 48, 16, kAboutText},
      {"   切り貼り編集ツール", 16, 2, 48, 40, kAboutText},
      {kAboutCopyright, 14, 1, 16, 136, kAboutText},
      {kAboutCredit1, 14, 1, 16, 236, kAboutText},
      {kAboutCredit2, 14, 1, 16, 252, kAboutText},
  };
  for (const AboutText& t : texts) {
    form3.drawText(t.x, t.y, t.text, FontSpec{kAboutFace, t.size, t.widthFactor}, t.color);
  }
}

void COPYRIGHT_ON(AppContext& ctx) {
  // The main window takes no input until the about window is closed; the
  // value it was closed with is not used.
  ctx.ui.showAbout([&ctx](Canvas& form3) { FORM3_START(ctx, form3); });
}

void FORM3_START(AppContext&, Canvas& form3) { paintAbout(form3, form3.height()); }

void BUTTON13_ON(AppContext& ctx) { ctx.ui.closeAbout(0); }

}  // namespace pelisto
