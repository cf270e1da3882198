// The scroll bar's change: the position text, the redraw of the shown
// second and the markers of the selected entry. Every caller that moves
// the view sets the position on HSCROLL1 first and then calls this.
#include "model/forms.h"
#include "app/handlers.h"
#include "model/messages.h"
#include "model/numbers.h"
#include "view/markers.h"

namespace pelisto {
namespace {

// "M 分 S 秒目": no hour field, seconds not padded.
std::string positionText(int32_t p) {
  return decimal(p / 60) + " 分 " + decimal(p % 60) + " 秒目";
}

}  // namespace

void HSCROLL1_CHANGE(AppContext& ctx) {
  if (!waveFileOpen(ctx)) {
    refuse(ctx, kMsgNoWaveFile);
    return;
  }
  const int32_t p = ctx.ui.scrollPos();
  ctx.ui.setText(Control::EDIT2, positionText(p));
  SHOWWAVEDATA(ctx, p);

  showSelectedMarkers(ctx);
}

}  // namespace pelisto
