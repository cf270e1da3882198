// The play, play-range and stop buttons, and the completion of a play.
#include <string>

#include "model/messages.h"
#include "model/numbers.h"
#include "playback/handlers.h"
#include "playback/play_file.h"

namespace pelisto {
namespace {

// Plays path from playCommand, followed in the view from the second it
// shows, so that the first tracking step moves the view when the play is
// elsewhere (a range of another second, whatever an earlier play left in
// TRACESEC). A refusal of the device is shown and PLAYFLAG stays as it was.
void playTracked(AppContext& ctx, const PlaySession& play, const std::string& playCommand) {
  if (Status st = startPlay(ctx, play, playCommand); !st) return refuse(ctx, st.message());
  ctx.state.PLAYFLAG = kPlayTracked;
  ctx.state.TRACESEC = ctx.ui.scrollPos();
}

void stopAndClose(AppContext& ctx) {
  sendMci(ctx, "STOP WAVEOBJ");
  sendMci(ctx, "CLOSE WAVEOBJ");
  endJoinListen(ctx);
  ctx.state.session = PlaySession{};
}

}  // namespace

MciResult sendMci(AppContext& ctx, const std::string& command) {
  ctx.lastMci = ctx.mci.send(command);
  return ctx.lastMci;
}

void BUTTON1_ON(AppContext& ctx) {
  if (!waveFileOpen(ctx)) return refuse(ctx, kMsgNoWaveFile);
  if (ctx.state.PLAYFLAG != kPlayIdle) return refuse(ctx, kMsgPlaying);
  const int64_t start = int64_t(ctx.ui.scrollPos()) * 1000;
  playTracked(ctx, PlaySession{PlayKind::kSource, ctx.state.WAVEFILENAME, start},
              "PLAY WAVEOBJ FROM " + decimal(start) + " NOTIFY");
}

void BUTTON5_ON(AppContext& ctx) {
  const int i = ctx.list.selected();
  if (i < 0) return refuse(ctx, kMsgSelectRange);
  if (ctx.state.PLAYFLAG != kPlayIdle) return refuse(ctx, kMsgPlaying);
  if (i >= int(ctx.state.EDITFILE.size())) return;  // no such row: nothing to play
  const std::string& path = ctx.state.EDITFILE[i][kSourcePath];
  if (path.empty()) return;  // a blank plays nothing
  const int32_t start = ctx.state.EDITDATA[i][kStartMs];
  const int32_t end = ctx.state.EDITDATA[i][kEndMs];
  playTracked(ctx, PlaySession{PlayKind::kRange, path, start},
              "PLAY WAVEOBJ FROM " + decimal(start) + " TO " + decimal(end) + " NOTIFY");
}

void BUTTON2_ON(AppContext& ctx) {
  if (ctx.state.PLAYFLAG == kPlayIdle) return refuse(ctx, kMsgNotPlaying);
  stopAndClose(ctx);
  ctx.state.PLAYFLAG = kPlayIdle;
}

// Whatever the notification says (ended, stopped, replaced): the device is
// closed and the state is idle. A late notification of a play already
// stopped finds the alias closed; its commands fail without effect.
void MCI1_DONE(AppContext& ctx) {
  stopAndClose(ctx);
  ctx.state.PLAYFLAG = kPlayIdle;
}

}  // namespace pelisto
