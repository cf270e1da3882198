// The scroll bar's change: the position text, the redraw of the shown
// second and the markers of the selected entry. Every caller that moves
// the view sets the position on HSCROLL1 first and then calls this.
#include "app/forms.h"
#include "app/handlers.h"
#include "app/messages.h"
#include "app/numbers.h"
#include "view/markers.h"

namespace pelisto {
namespace {

int32_t floorDiv(int32_t a, int32_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// "M 分 S 秒目": no hour field, seconds not padded.
std::string positionText(int32_t p) {
  return decimal(p / 60) + " 分 " + decimal(p % 60) + " 秒目";
}

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

void HSCROLL1_CHANGE(AppContext& ctx) {
  AppState& s = ctx.state;
  if (!waveFileOpen(ctx)) {
    refuse(ctx, kMsgNoWaveFile);
    return;
  }
  const int32_t p = ctx.ui.scrollPos();
  ctx.ui.setText(Control::EDIT2, positionText(p));
  SHOWWAVEDATA(ctx, p);

  eraseMarkerBand(ctx);
  for (int row = 0; row < 2; ++row) {
    for (int col = 0; col < 4; ++col) s.MARKERBOX[row][col] = 0;
  }
  // The selected line is read from LIST1 each time it is needed.
  auto selectedRow = [&]() {
    const int sel = ctx.ui.selected();
    return sel >= 0 && sel < static_cast<int>(s.EDITDATA.size()) ? sel : -1;
  };
  if (selectedRow() < 0) return;
  if (int sel = selectedRow(); sel >= 0) showMarkerIfIn(ctx, p, s.EDITDATA[sel][kStartMs], 0);
  if (int sel = selectedRow(); sel >= 0) showMarkerIfIn(ctx, p, s.EDITDATA[sel][kEndMs], 1);
}

}  // namespace pelisto
