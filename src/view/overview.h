// The strip of the whole open file below the buttons (表示 → 全体表示,
// control OVERVIEW): the envelope, the second in view, the selected
// entry's range, the list's entries of this file, the play cursor and the
// pauses. A click or a drag on it moves the view there.
#pragma once

#include "model/context.h"

namespace pelisto {

// Remembered: the strip is off (it is on at the first start).
inline constexpr const char* kOverviewHiddenChoice = "overviewHidden";

// Draws the strip again when anything it shows has changed (cheap when
// nothing has: after every event, every step of tracking).
void showOverview(AppContext& ctx);
// Shows or hides the strip: the form grows by its height and a margin
// while it is shown; the menu item's check mark follows.
void setOverviewShown(AppContext& ctx, bool shown);

// 表示 → 全体表示: the strip on or off, remembered for the next start.
void OVERVIEW_ON(AppContext& ctx);
// A press on the strip: the view moves to the second under it, as the
// scroll bar would move it (refused the same way with no file open); a
// drag with the left button held goes on moving it until the release.
void OVERVIEW_MOUSEDOWN(AppContext& ctx, int button, double x, double y);
void OVERVIEW_MOUSEMOVE(AppContext& ctx, int button, double x, double y);
void OVERVIEW_MOUSEUP(AppContext& ctx, int button, double x, double y);

}  // namespace pelisto
