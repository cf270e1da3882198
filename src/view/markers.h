// The start and end markers of the selected entry: red outline triangles
// in the 8-pixel band above PICTURE1 on the main window.
#pragma once

#include "model/context.h"

namespace pelisto {

// Fills the marker band with MAINFORM's face (kFaceEntry).
void eraseMarkerBand(AppContext& ctx);
// Draws one marker with its tip at (x, top of PICTURE1) in main-window
// client pixels; returns its rectangle (left, top, right, bottom), rounded.
struct MarkerRect {
  int16_t left = 0, top = 0, right = 0, bottom = 0;
};
MarkerRect drawMarker(AppContext& ctx, double x);

// The markers of the selected line where they fall into the shown second,
// and nothing else: the band is cleared, MARKERBOX holds the rectangles of
// the markers drawn (zeros for one not drawn). A pending line has only its
// start. No file in the view: no markers.
void showSelectedMarkers(AppContext& ctx);

// What the markers are drawn for: the selected line, the number of lines
// and the selected entry's start and end.
struct MarkedLine {
  int selected = -1;
  int lines = 0;
  int32_t startMs = 0, endMs = 0;
  bool operator==(const MarkedLine&) const = default;
};
MarkedLine markedLine(const AppContext& ctx);

// The selected line changed, went or moved: a marker drag ends (its line
// may be gone) and the markers drawn are those of the line selected now.
void markersFollowList(AppContext& ctx);

// After a command, given what the markers were drawn for before it: they
// follow the list when another line is selected or the lines changed, and
// are redrawn when only the selected entry's ends moved (a grabbed marker
// stays grabbed then, as after its own drop).
void markersFollow(AppContext& ctx, const MarkedLine& before);

// The vertical cursor line on PICTURE1 from (x, 0) to (x, 128), teal
// (kCursorEntry), drawn by exclusive or: drawing it twice at the same
// x restores the picture. Marking and playback tracking both use it.
void drawCursorLine(AppContext& ctx, int x);

// The marking cursor: the cursor line at CURSORX while cursorShown. Shown
// at a new x, the old line is erased first; erasing does nothing when no
// line is shown (a redraw of the picture wiped it).
void showMarkingCursor(AppContext& ctx, int16_t x);
void eraseMarkingCursor(AppContext& ctx);

// Ends mouse marking and a marker drag: the marking cursor line is erased,
// MARKMODE is kMarkNone, DRAGMODE kDragNone and the pointers are arrows
// again (any mouse capture released). Every open of a wave file or a
// project does this first, and so does an undo.
void endMouseModes(AppContext& ctx);

}  // namespace pelisto
