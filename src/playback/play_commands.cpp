// The play, play-range and stop buttons, and the completion of a play.
#include <string>

#include "app/handlers.h"
#include "app/messages.h"
#include "app/numbers.h"
#include "playback/playback_messages.h"

namespace pelisto {
namespace {

// Opens path under WAVEOBJ and starts playCommand. A command the device
// refuses ends the attempt: the alias is closed if it was opened, the
// device's reason is shown and PLAYFLAG is left as it was. Returns true
// when the play runs.
bool startPlay(AppContext& ctx, const std::string& path, const std::string& playCommand) {
  const std::string commands[] = {
      "OPEN " + path + " TYPE WAVEAUDIO ALIAS WAVEOBJ",
      "SET WAVEOBJ TIMEFORMAT MILLISECONDS",
      playCommand,
  };
  for (int i = 0; i < 3; ++i) {
    const MciResult r = sendMci(ctx, commands[i]);
    if (r.code != 0) {
      if (i > 0) sendMci(ctx, "CLOSE WAVEOBJ");
      ctx.lastMci = r;  // the refused command's result, not the close's
      refuse(ctx, playFailedText(r.error));
      return false;
    }
  }
  return true;
}

// A tracked play starts from the second the view shows, so that its first
// step moves the view when the play is elsewhere (a range of another
// second, whatever an earlier play left in TRACESEC).
void startTracking(AppContext& ctx) {
  ctx.state.PLAYFLAG = kPlayTracked;
  ctx.state.TRACESEC = ctx.ui.scrollPos();
}

void stopAndClose(AppContext& ctx) {
  sendMci(ctx, "STOP WAVEOBJ");
  sendMci(ctx, "CLOSE WAVEOBJ");
}

}  // namespace

std::string playFailedText(const std::string& reason) { return kMsgPlayFailed + reason; }

MciResult sendMci(AppContext& ctx, const std::string& command) {
  ctx.lastMci = ctx.mci.send(command);
  return ctx.lastMci;
}

void BUTTON1_ON(AppContext& ctx) {
  if (!waveFileOpen(ctx)) return refuse(ctx, kMsgNoWaveFile);
  if (ctx.state.PLAYFLAG != kPlayIdle) return refuse(ctx, kMsgPlaying);
  const int64_t start = int64_t(ctx.ui.scrollPos()) * 1000;
  if (startPlay(ctx, ctx.state.WAVEFILENAME, "PLAY WAVEOBJ FROM " + decimal(start) + " NOTIFY")) {
    startTracking(ctx);
  }
}

void BUTTON5_ON(AppContext& ctx) {
  const int i = ctx.ui.selected();
  if (i < 0) return refuse(ctx, kMsgSelectRange);
  if (ctx.state.PLAYFLAG != kPlayIdle) return refuse(ctx, kMsgPlaying);
  if (i >= int(ctx.state.EDITFILE.size())) return;  // no such row: nothing to play
  const std::string& path = ctx.state.EDITFILE[i][kSourcePath];
  if (path.empty()) return;  // a blank plays nothing
  const int32_t start = ctx.state.EDITDATA[i][kStartMs];
  const int32_t end = ctx.state.EDITDATA[i][kEndMs];
  if (startPlay(ctx, path, "PLAY WAVEOBJ FROM " + decimal(start) + " TO " + decimal(end) + " NOTIFY")) {
    startTracking(ctx);
  }
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
