// Starting a play of a file on the media device: the one sequence the play
// buttons and the create-wave-file command share.
#pragma once

#include <string>

#include "model/context.h"

namespace pelisto {

// Shown when the media device refuses a play, followed by its reason.
inline constexpr const char* kMsgPlayFailed = "再生できません：";

// Opens play.path under the alias WAVEOBJ, sets its time format to
// milliseconds and sends playCommand ("PLAY WAVEOBJ …", from play.firstMs).
// The first command the device refuses ends the attempt: the alias is
// closed if it was opened, and ctx.lastMci keeps the refused command's
// result (not the close's). Returns the refusal to show, kMsgPlayFailed and
// the device's reason. Once the play runs, play is the session; PLAYFLAG is
// the caller's to set.
Status startPlay(AppContext& ctx, const PlaySession& play, const std::string& playCommand);
// After startPlay: the play runs without being followed in the view
// (PLAYFLAG kPlayWritten).
void markUntrackedPlay(AppContext& ctx);

// After the device has been closed: removes the temporary file a listen
// across a join played, if that was the play, and shows the view again.
void endJoinListen(AppContext& ctx);
// One step of following a listen across a join (see followPlay).
void followJoinListen(AppContext& ctx);

}  // namespace pelisto
