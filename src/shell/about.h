// The about window's painted panel.
#pragma once

#include "platform/canvas.h"

namespace pelisto {

inline constexpr const char* kAboutFace = "ＭＳ 明朝";
inline constexpr const char* kAboutCopyright = "Copyright (C) 2026 Pelisto developers";
inline constexpr const char* kAboutCredit1 = "設計・製作　Pelisto 開発者一同";
inline constexpr const char* kAboutCredit2 = "ご利用いただき誠にありがとうございます。";
inline constexpr Rgb kAboutText{255, 255, 255};
inline constexpr Rgb kAboutTitleText{255, 255, 160};

// Paints the panel onto form3 as for a client area h pixels high: the blue
// gradient from row h up to row 0, the four rules and the six texts.
void paintAbout(Canvas& form3, int h);

}  // namespace pelisto
