// The handlers of the program as a whole: its windows, and the commands
// that go through several subsystems.
#pragma once

#include "model/context.h"

namespace pelisto {

// The main window opens: paints the form (face colour, labels, the lines
// across the top, the amplitude scale, the empty picture), sets the fonts
// and the title of message boxes.
void MAINFORM_START(AppContext& ctx);
// The close box or Ctrl+Q: offers to save an unsaved edit list, stops a
// play and the graph build. Returns true when the window may close (false:
// the user kept it open).
bool MAINFORM_QUERYCLOSE(AppContext& ctx);
// ヘルプ → 著作権表示: shows the about window (FORM3) modally.
void COPYRIGHT_ON(AppContext& ctx);
// The about window opens: paints its panel.
void FORM3_START(AppContext& ctx, Canvas& form3);
// 確認 in the about window: closes it.
void BUTTON13_ON(AppContext& ctx);
// Waveファイルの作成: checks the whole edit list, asks for a name, writes the
// joined wave file and plays it.
void BUTTON6_ON(AppContext& ctx);

}  // namespace pelisto
