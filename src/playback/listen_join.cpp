// Listening across a join: the frames of the written file around the join
// before the selected line, written into a temporary file of the cache
// folder, played as a written file plays and removed when the play ends.
#include <string>

#include "model/messages.h"
#include "platform/program_files.h"
#include "platform/user_folders.h"
#include "playback/handlers.h"
#include "playback/play_file.h"
#include "playback/session.h"
#include "model/numbers.h"
#include "view/handlers.h"
#include "view/markers.h"
#include "wave/join_window.h"
#include "wave/output_file.h"

namespace pelisto {
namespace {

constexpr const char* kListenStem = "listen-join";
constexpr const char* kListenExtension = ".wav";

// The program's own listening file in its cache folder; those of programs
// that were killed while listening go first.
Result<std::string> listenFilePath(AppContext& ctx) {
  if (Status made = makeFolders(ctx.fs, ctx.own.folder); !made) return made;
  removeStaleFiles(ctx.fs, ctx.own, kListenStem, kListenExtension);
  return ctx.own.path(kListenStem, kListenExtension);
}

}  // namespace

void LISTENJOIN_ON(AppContext& ctx) {
  const int line = ctx.list.selected();
  if (line < 0 || line >= ctx.list.lineCount()) return refuse(ctx, kMsgSelectRange);
  if (ctx.state.PLAYFLAG != kPlayIdle) return refuse(ctx, kMsgPlaying);
  Result<JoinWindow> window = planJoinWindow(ctx, line);
  if (!window) return refuse(ctx, window.status().message());
  Result<std::string> path = listenFilePath(ctx);
  Status st = path ? writeOutputFile(ctx.fs, ctx.sound, window->plan, path.value(), OutputSpec{}, {})
                    : path.status();
  if (!st) {
    return refuse(ctx, "つなぎ目の音を作成できませんでした\n" + (path ? path.value() + "\n" : "") +
                           st.message());
  }
  // Played as a written file plays, and followed in a view of its own.
  const PlaySession play{PlayKind::kJoinListen, path.value(), 0, static_cast<int64_t>(window->joinFrame)};
  if (Status played = startPlay(ctx, play, "PLAY WAVEOBJ NOTIFY"); !played) {
    ctx.fs.remove(path.value());
    return refuse(ctx, played.message());
  }
  markUntrackedPlay(ctx);
  ctx.state.joinListenFile = path.value();
  // Held open and locked while it plays, so that no other program takes it
  // for left behind.
  if (auto held = ctx.fs.open(path.value(), OpenMode::kRead)) {
    ctx.joinListenLock = std::move(held.value());
    ctx.joinListenLock->tryLock();
  }
  showJoinSecondOf(ctx, play.path, play.joinFrame);
}

void followJoinListen(AppContext& ctx) {
  AppState& st = ctx.state;
  const int64_t heard = frameAtMs(playPosition(ctx)) - st.session.joinFrame;
  // Whatever redrew the view meanwhile, the line's second comes back.
  if (!st.pictureShowsJoin) {
    showJoinSecondOf(ctx, st.session.path, st.session.joinFrame);
  }
  // No cursor while the frames before the join play, nor past the second.
  int32_t x = -1;
  if (heard >= 0 && heard < kFramesPerSecond) {
    x = static_cast<int32_t>(roundHalfEven(static_cast<double>(heard) * kColumnsPerSecond / kFramesPerSecond));
  }
  if (x == st.TRACEX) return;
  if (st.TRACEX != -1) drawCursorLine(ctx, st.TRACEX);
  st.TRACEX = x;
  if (x != -1) drawCursorLine(ctx, x);
}

void endJoinListen(AppContext& ctx) {
  if (ctx.state.joinListenFile.empty()) return;
  ctx.fs.remove(ctx.state.joinListenFile);
  ctx.state.joinListenFile.clear();
  ctx.joinListenLock.reset();
  // The view comes back as it was.
  if (!ctx.state.pictureShowsJoin) return;
  if (waveFileOpen(ctx)) {
    refreshView(ctx);
  } else {
    showEmptyPicture(ctx);
  }
}

}  // namespace pelisto
