// The markers of the selected entry, drawn on the main window in the band
// above PICTURE1.
#include "view/markers.h"

#include "app/forms.h"
#include "app/numbers.h"

namespace pelisto {
namespace {

constexpr int kMarkerHalfWidth = 8;
constexpr int kMarkerHeight = 8;

constexpr int kCursorColor = 10;
constexpr int kCursorBottom = 128;

}  // namespace

void drawCursorLine(AppContext& ctx, int x) {
  Canvas& picture = ctx.ui.canvas(Control::PICTURE1);
  const DrawMode before = picture.mode();
  picture.setMode(DrawMode::kXor);
  picture.line(x, 0, x, kCursorBottom, kCursorColor);
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

void eraseMarkerBand(AppContext& ctx) {
  const ControlInfo& pic = controlInfo(Control::PICTURE1);
  Canvas& form = ctx.ui.canvas(Control::MAINFORM);
  const DrawMode mode = form.mode();
  form.setMode(DrawMode::kCopy);
  // From (L - 8, T - 8), 16 high, to L + W + 8: a marker dropped at the
  // picture's right edge (x = L + W) reaches that column.
  const int left = pic.left - kMarkerHalfWidth, top = pic.top - kMarkerHeight;
  form.fillBox(left, top, pic.left + pic.width + kMarkerHalfWidth, top + 2 * kMarkerHeight - 1, 14);
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
  form.line(left, top, right, top, 5);
  form.line(left, top, tipX, tipY, 5);
  form.line(right, top, tipX, tipY, 5);
  form.setMode(mode);
  return MarkerRect{static_cast<int16_t>(left), static_cast<int16_t>(top),
                    static_cast<int16_t>(right), static_cast<int16_t>(tipY)};
}

}  // namespace pelisto
