// Listening across a join: the frames of the written file around the join
// before the selected line, written into a temporary file of the cache
// folder, played as a written file plays and removed when the play ends.
#include <string>

#include "app/handlers.h"
#include "app/messages.h"
#include "playback/play_file.h"
#include "wave/join_window.h"
#include "wave/wave_file_writer.h"

namespace pelisto {
namespace {

constexpr const char* kListenPrefix = "listen-join-";
constexpr const char* kListenSuffix = ".wav";

// Listening files that a program ended by force left behind: older than
// this program, so not its own.
void removeStaleListenFiles(FileSystem& fs, const std::string& folder) {
  auto names = fs.list(folder);
  if (!names) return;
  for (const std::string& name : names.value()) {
    if (!name.starts_with(kListenPrefix) || !name.ends_with(kListenSuffix)) continue;
    const std::string path = folder + "/" + name;
    auto info = fs.info(path);
    if (info && info->kind == FileKind::kRegular && info->modifiedNs < fs.startedNs()) fs.remove(path);
  }
}

// The program's own listening file, named after its start so that two
// programs never share one.
Result<std::string> listenFilePath(FileSystem& fs) {
  Result<std::string> folder = fs.cacheFolder();
  if (!folder) return folder.status();
  removeStaleListenFiles(fs, folder.value());
  return folder.value() + "/" + kListenPrefix + std::to_string(fs.startedNs()) + kListenSuffix;
}

}  // namespace

void LISTENJOIN_ON(AppContext& ctx) {
  const int line = ctx.ui.selected();
  if (line < 0 || line >= ctx.ui.lineCount()) return refuse(ctx, kMsgSelectRange);
  if (ctx.state.PLAYFLAG != kPlayIdle) return refuse(ctx, kMsgPlaying);
  Result<WritePlan> plan = planJoinWindow(ctx, line);
  if (!plan) return refuse(ctx, plan.status().message());
  Result<std::string> path = listenFilePath(ctx.fs);
  Status st = path ? writeWaveFile(ctx.fs, plan.value(), path.value(), nullptr) : path.status();
  if (!st) {
    return refuse(ctx, "つなぎ目の音を作成できませんでした\n" + (path ? path.value() + "\n" : "") +
                           st.message());
  }
  // Played as a written file plays: not followed in the view.
  if (Status played = startPlay(ctx, path.value(), "PLAY WAVEOBJ NOTIFY"); !played) {
    ctx.fs.remove(path.value());
    return refuse(ctx, played.message());
  }
  ctx.state.PLAYFLAG = kPlayWritten;
  ctx.state.joinListenFile = path.value();
}

void endJoinListen(AppContext& ctx) {
  if (ctx.state.joinListenFile.empty()) return;
  ctx.fs.remove(ctx.state.joinListenFile);
  ctx.state.joinListenFile.clear();
}

}  // namespace pelisto
