// One step of following a tracked playback in the view.
#include <algorithm>

#include "model/numbers.h"
#include "playback/handlers.h"
#include "playback/play_file.h"
#include "playback/session.h"
#include "view/handlers.h"
#include "view/markers.h"
#include "view/overview.h"

namespace pelisto {

bool playFollowed(const AppContext& ctx) {
  const int16_t flag = ctx.state.PLAYFLAG;
  return flag == kPlayTracked || (flag == kPlayWritten && ctx.state.session.kind == PlayKind::kJoinListen);
}

void followPlay(AppContext& ctx) {
  if (ctx.state.PLAYFLAG == kPlayTracked) {
    TRACETIMESCROLL(ctx);
  } else if (playFollowed(ctx)) {
    followJoinListen(ctx);
  }
}

void TRACETIMESCROLL(AppContext& ctx) {
  AppState& st = ctx.state;
  // The position heard in milliseconds; no reply reads 0.
  const int64_t ms = playPosition(ctx);
  // A new second moves the view there (the redraw wipes the cursor).
  const int32_t s = static_cast<int32_t>(ms / 1000);
  if (s != st.TRACESEC) {
    st.TRACESEC = s;
    ctx.ui.setScrollPos(s);
    // A range may play while no file is in the view: then there is no
    // second to redraw.
    refreshView(ctx);
    resetTracking(st);
  }
  // The old cursor is erased by drawing it again (exclusive or).
  if (st.TRACEX != -1) drawCursorLine(ctx, st.TRACEX);
  // The cursor at the playing millisecond of the second.
  constexpr double kColumnsPerMs = kColumnsPerSecond / 1000.0;
  st.TRACEX = static_cast<int32_t>(roundHalfEven(static_cast<double>(ms % 1000) * kColumnsPerMs));
  drawCursorLine(ctx, st.TRACEX);
  showOverview(ctx);  // its play cursor
}

}  // namespace pelisto
