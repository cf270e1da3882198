// The start and end markers of the selected entry: red outline triangles
// in the 8-pixel band above PICTURE1 on the main window.
#pragma once

#include "app/context.h"

namespace pelisto {

// Fills the marker band with MAINFORM's palette colour 14.
void eraseMarkerBand(AppContext& ctx);
// Draws one marker with its tip at (x, top of PICTURE1) in main-window
// client pixels; returns its rectangle (left, top, right, bottom), rounded.
struct MarkerRect {
  int16_t left = 0, top = 0, right = 0, bottom = 0;
};
MarkerRect drawMarker(AppContext& ctx, double x);

// The vertical cursor line on PICTURE1 from (x, 0) to (x, 128), teal
// (palette colour 10), drawn by exclusive or: drawing it twice at the same
// x restores the picture. Marking and playback tracking both use it.
void drawCursorLine(AppContext& ctx, int x);

// The marking cursor: the cursor line at CURSORX while cursorShown. Shown
// at a new x, the old line is erased first; erasing does nothing when no
// line is shown (a redraw of the picture wiped it).
void showMarkingCursor(AppContext& ctx, int16_t x);
void eraseMarkingCursor(AppContext& ctx);

}  // namespace pelisto
