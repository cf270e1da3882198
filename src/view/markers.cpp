// The markers of the selected entry, drawn on the main window in the band
// above PICTURE1.
#include "view/markers.h"

#include "model/edit_list.h"
#include "model/forms.h"
#include "model/numbers.h"

namespace pelisto {
namespace {

constexpr int kMarkerHalfWidth = 8;
constexpr int kMarkerHeight = 8;


int32_t floorDiv(int32_t a, int32_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// Draws the marker for a time of ms milliseconds when it falls into second
// p, and records its rectangle in MARKERBOX row.
void showMarkerIfIn(AppContext& ctx, int32_t p, int32_t ms, int row) {
  if (floorDiv(ms, 1000) != p) return;
  const ControlInfo& pic = controlInfo(Control::PICTURE1);
  const int32_t within = ms - floorDiv(ms, 1000) * 1000;
  const double x = pic.left + within / 1000.0 * pic.width;
  MarkerRect r = drawMarker(ctx, x);
  int16_t* box = ctx.state.MARKERBOX[row];
  box[0] = r.left;
  box[1] = r.top;
  box[2] = r.right;
  box[3] = r.bottom;
}

}  // namespace

void showSelectedMarkers(AppContext& ctx) {
  AppState& s = ctx.state;
  eraseMarkerBand(ctx);
  for (int row = 0; row < 2; ++row) {
    for (int col = 0; col < 4; ++col) s.MARKERBOX[row][col] = 0;
  }
  const int sel = ctx.list.selected();
  if (!waveFileOpen(ctx) || sel < 0 || sel >= static_cast<int>(s.EDITDATA.size())) return;
  const int32_t p = ctx.ui.scrollPos();
  showMarkerIfIn(ctx, p, s.EDITDATA[sel][kStartMs], 0);
  if (!ctx.list.isPending(sel)) showMarkerIfIn(ctx, p, s.EDITDATA[sel][kEndMs], 1);
}

MarkedLine markedLine(const AppContext& ctx) {
  MarkedLine m{ctx.list.selected(), ctx.list.lineCount()};
  if (m.selected >= 0 && m.selected < static_cast<int>(ctx.state.EDITDATA.size())) {
    m.startMs = ctx.state.EDITDATA[m.selected][kStartMs];
    m.endMs = ctx.state.EDITDATA[m.selected][kEndMs];
  }
  return m;
}

void markersFollowList(AppContext& ctx) {
  AppState& s = ctx.state;
  if (s.DRAGMODE != kDragNone) ctx.ui.setPointer(Control::MAINFORM, Pointer::kArrow);
  releaseMarker(s);
  showSelectedMarkers(ctx);
}

void markersFollow(AppContext& ctx, const MarkedLine& before) {
  const MarkedLine now = markedLine(ctx);
  if (now.selected != before.selected || now.lines != before.lines) {
    markersFollowList(ctx);
  } else if (now != before) {
    showSelectedMarkers(ctx);
  }
}

void drawCursorLine(AppContext& ctx, int x) {
  Canvas& picture = ctx.ui.canvas(Control::PICTURE1);
  const DrawMode before = picture.mode();
  picture.setMode(DrawMode::kXor);
  picture.line(x, 0, x, kPictureDrawBottom, kCursorEntry);
  picture.setMode(before);
}

void showMarkingCursor(AppContext& ctx, int16_t x) {
  eraseMarkingCursor(ctx);
  ctx.state.CURSORX = x;
  drawCursorLine(ctx, x);
  ctx.state.cursorShown = true;
}

void eraseMarkingCursor(AppContext& ctx) {
  if (!ctx.state.cursorShown) return;
  drawCursorLine(ctx, ctx.state.CURSORX);
  ctx.state.cursorShown = false;
}

void endMouseModes(AppContext& ctx) {
  AppState& s = ctx.state;
  eraseMarkingCursor(ctx);
  if (s.MARKMODE != kMarkNone) ctx.ui.setPointer(Control::PICTURE1, Pointer::kArrow);
  if (s.DRAGMODE != kDragNone) ctx.ui.setPointer(Control::MAINFORM, Pointer::kArrow);
  clearMarking(s);
}

void eraseMarkerBand(AppContext& ctx) {
  const ControlInfo& pic = controlInfo(Control::PICTURE1);
  Canvas& form = ctx.ui.canvas(Control::MAINFORM);
  const DrawMode mode = form.mode();
  form.setMode(DrawMode::kCopy);
  // From (L - 8, T - 8), 16 high, to L + W + 8: a marker dropped at the
  // picture's right edge (x = L + W) reaches that column.
  const int left = pic.left - kMarkerHalfWidth, top = pic.top - kMarkerHeight;
  form.fillBox(left, top, pic.left + pic.width + kMarkerHalfWidth, top + 2 * kMarkerHeight - 1, kFaceEntry);
  form.setMode(mode);
}

MarkerRect drawMarker(AppContext& ctx, double x) {
  const ControlInfo& pic = controlInfo(Control::PICTURE1);
  Canvas& form = ctx.ui.canvas(Control::MAINFORM);
  const DrawMode mode = form.mode();
  form.setMode(DrawMode::kCopy);
  const int tipX = static_cast<int>(roundHalfEven(x));
  const int tipY = pic.top;
  const int left = static_cast<int>(roundHalfEven(x - kMarkerHalfWidth));
  const int right = static_cast<int>(roundHalfEven(x + kMarkerHalfWidth));
  const int top = tipY - kMarkerHeight;
  form.line(left, top, right, top, kMarkerEntry);
  form.line(left, top, tipX, tipY, kMarkerEntry);
  form.line(right, top, tipX, tipY, kMarkerEntry);
  form.setMode(mode);
  return MarkerRect{static_cast<int16_t>(left), static_cast<int16_t>(top),
                    static_cast<int16_t>(right), static_cast<int16_t>(tipY)};
}

}  // namespace pelisto
