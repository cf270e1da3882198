// The handlers of the waveform view, each a free function over the
// application context (as are the handlers of every folder: a comment
// starts with what the user does to run it, the caption of its button or
// menu item).
#pragma once

#include <cstdint>

#include "model/context.h"

namespace pelisto {

// Reads the next block (10 ms) of the open wave file into WAVEBUF, from
// byte position when it is not 0; zeros past the end.
int16_t GETWAVEDATA(AppContext& ctx, int32_t position);
// Draws second of the open wave file into PICTURE1 (from the graph cache
// when it is ready).
int16_t SHOWWAVEDATA(AppContext& ctx, int32_t second);
// The centre line of PICTURE1, as the empty picture shows it.
void drawZeroLine(Canvas& picture);
// PICTURE1 as with no file: its background and the centre line.
void showEmptyPicture(AppContext& ctx);
// Redraws the view at HSCROLL1's position: the position text, the second
// and the markers of the selected entry. With no wave file open there is
// nothing to show, and nothing changes.
void refreshView(AppContext& ctx);
// The view as with no wave file open, once the file it showed has been
// closed: the empty picture, no markers, EDIT1 and EDIT2 empty, and
// HSCROLL1 at 0 with nothing to scroll.
void clearView(AppContext& ctx);
// HSCROLL1 moved: refused when no wave file is open, else refreshView.
void HSCROLL1_CHANGE(AppContext& ctx);
// Starts building the graph cache of the open wave file behind the window:
// the records of seconds 0 … lastSecond.
void LOADGRAPHDATA(AppContext& ctx, int32_t lastSecond);
// 表示 → グラフの高速表示を優先: switches the graph cache on or off. (The
// name follows the menu item's, GrapgFast, spelled so on purpose.)
void GRAPGFAST_ON(AppContext& ctx);

}  // namespace pelisto
