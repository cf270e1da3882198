// The view's redraw: the position text, the shown second and the markers
// of the selected entry. Whatever moves the view sets the position on
// HSCROLL1 first and then redraws.
#include "model/forms.h"
#include "model/messages.h"
#include "view/handlers.h"
#include "view/markers.h"
#include "view/view_text.h"

namespace pelisto {

void refreshView(AppContext& ctx) {
  if (!waveFileOpen(ctx)) return;
  const int32_t p = ctx.ui.scrollPos();
  ctx.ui.setText(Control::EDIT2, positionText(p));
  SHOWWAVEDATA(ctx, p);
  showSelectedMarkers(ctx);
}

void clearView(AppContext& ctx) {
  ctx.ui.setScrollRange(0, 0);
  ctx.ui.setScrollPos(0);
  ctx.ui.setText(Control::EDIT1, "");
  ctx.ui.setText(Control::EDIT2, "");
  showEmptyPicture(ctx);
  showSelectedMarkers(ctx);
}

void HSCROLL1_CHANGE(AppContext& ctx) {
  if (!waveFileOpen(ctx)) return refuse(ctx, kMsgNoWaveFile);
  refreshView(ctx);
}

}  // namespace pelisto
