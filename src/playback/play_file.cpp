#include "playback/play_file.h"

#include "playback/handlers.h"

namespace pelisto {

Status startPlay(AppContext& ctx, const PlaySession& play, const std::string& playCommand) {
  const std::string commands[] = {
      "OPEN " + play.path + " TYPE WAVEAUDIO ALIAS WAVEOBJ",
      "SET WAVEOBJ TIMEFORMAT MILLISECONDS",
      playCommand,
  };
  for (int i = 0; i < 3; ++i) {
    const MciResult r = sendMci(ctx, commands[i]);
    if (r.code == 0) continue;
    if (i > 0) sendMci(ctx, "CLOSE WAVEOBJ");
    ctx.lastMci = r;  // the refused command's result, not the close's
    return Status::error(StatusCode::kIoError, kMsgPlayFailed + r.error);
  }
  ctx.state.session = play;
  return Status::ok();
}

void markUntrackedPlay(AppContext& ctx) { ctx.state.PLAYFLAG = kPlayWritten; }

}  // namespace pelisto
