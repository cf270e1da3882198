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

}  // namespace pelisto
