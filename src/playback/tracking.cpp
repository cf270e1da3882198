// One step of following a tracked playback in the view.
#include <algorithm>

#include "model/numbers.h"
#include "playback/handlers.h"
#include "view/handlers.h"
#include "view/markers.h"

namespace pelisto {

void TRACETIMESCROLL(AppContext& ctx) {
  AppState& st = ctx.state;
  // The playing position in milliseconds; no reply reads 0.
  const MciResult r = sendMci(ctx, "STATUS WAVEOBJ POSITION");
  double p = roundHalfAway(readLeadingNumber(r.code == 0 ? r.reply : std::string()));
  p = std::clamp(p, -2147483648.0, 2147483647.0);  // a nonsense reply stays a number
  // A new second moves the view there (the redraw wipes the cursor).
  const int64_t ms = static_cast<int64_t>(p);
  const int32_t s = static_cast<int32_t>(ms / 1000);
  if (s != st.TRACESEC) {
    st.TRACESEC = s;
    ctx.ui.setScrollPos(s);
    // A range may play while no file is in the view: then there is no
    // second to redraw.
    refreshView(ctx);
    st.TRACEX = -1;
  }
  // The old cursor is erased by drawing it again (exclusive or).
  if (st.TRACEX != -1) drawCursorLine(ctx, st.TRACEX);
  // The cursor at the playing millisecond of the second.
  constexpr double kColumnsPerMs = kColumnsPerSecond / 1000.0;
  st.TRACEX = static_cast<int32_t>(roundHalfEven(static_cast<double>(ms % 1000) * kColumnsPerMs));
  drawCursorLine(ctx, st.TRACEX);
}

}  // namespace pelisto
