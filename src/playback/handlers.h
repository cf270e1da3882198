// The handlers of playback.
#pragma once

#include <string>

#include "model/context.h"

namespace pelisto {

// 元曲再生: plays the open wave file from the second in view, followed by
// the view.
void BUTTON1_ON(AppContext& ctx);
// 停止: stops the play.
void BUTTON2_ON(AppContext& ctx);
// 指定範囲の再生: plays the selected entry's range, followed by the view.
void BUTTON5_ON(AppContext& ctx);
// 編集 → つなぎ目を聴く: plays the written file's last 2 seconds before the
// selected line and the line's first 2 seconds, written into a temporary
// file (the file's first 2 seconds for line 1).
void LISTENJOIN_ON(AppContext& ctx);
// A play sent with NOTIFY has ended (or was stopped): closes the device.
void MCI1_DONE(AppContext& ctx);
// One step of following a tracked play: the view's second and the cursor.
void TRACETIMESCROLL(AppContext& ctx);
// True while a play is followed on screen: a tracked play (PLAYFLAG 1),
// or a listen across a join.
bool playFollowed(const AppContext& ctx);
// One step of following the play on screen: TRACETIMESCROLL for a tracked
// play; while listening across a join, the first second of the selected
// line with a cursor at the frame heard once the line's part plays.
void followPlay(AppContext& ctx);
// Sends one command string through MCI1 and keeps its result in ctx.lastMci.
MciResult sendMci(AppContext& ctx, const std::string& command);

}  // namespace pelisto
