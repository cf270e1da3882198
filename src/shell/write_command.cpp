// The create-wave-file command: the edit list joined into a new wave file,
// which then plays.
#include "model/messages.h"
#include "model/save_target.h"
#include "platform/file_system.h"
#include "playback/play_file.h"
#include "shell/handlers.h"
#include "wave/wave_file_writer.h"
#include "wave/write_plan.h"

namespace pelisto {
namespace {

std::string writeFailure(const Status& st, const std::string& path) {
  switch (st.code()) {
    case StatusCode::kCancelled:
      return "Waveファイルの作成を中止しました";
    case StatusCode::kNoSpace:
      return "ディスクの空き容量が足りないため、Waveファイルを作成できませんでした\n" + path;
    default:
      return "Waveファイルを作成できませんでした\n" + path + "\n" + st.message();
  }
}

// Where the dialog starts: the folder of the file last written, else that
// of the open wave file (else the dialog's own choice).
std::string writeFolder(const AppContext& ctx) {
  auto folder = [](const std::string& path) {
    const std::string f = folderOf(path);
    return f == "/" ? f : f + "/";
  };
  if (!ctx.state.lastWrittenPath.empty()) return folder(ctx.state.lastWrittenPath);
  if (waveFileOpen(ctx)) return folder(ctx.state.WAVEFILENAME);
  return std::string();
}

}  // namespace

void BUTTON6_ON(AppContext& ctx) {
  if (ctx.state.PLAYFLAG != kPlayIdle) {
    refuse(ctx, kMsgPlaying);
    return;
  }
  // The list is checked in full before a name is asked for.
  Result<WritePlan> plan = planWaveFile(ctx);
  if (!plan) {
    refuse(ctx, plan.status().message());
    return;
  }

  std::optional<std::string> chosen = ctx.ui.fileDialog(
      FileDialogSpec{kWriteTitle, kWriteFilterText, kWritePattern, true, writeFolder(ctx)});
  if (!chosen) return;
  const std::string path = withWavExtension(*chosen);
  if (Status st = checkSaveTarget(ctx, path); !st) {
    refuse(ctx, st.message());
    return;
  }

  Status written;
  {
    std::unique_ptr<BusyScope> busy = ctx.ui.beginBusy(kWriteTitle, true);
    written = writeWaveFile(ctx.fs, plan.value(), path, busy.get());
  }
  if (!written) {
    refuse(ctx, writeFailure(written, path));
    return;
  }
  ctx.state.lastWrittenPath = path;
  // The new file plays untracked; a refusal of the device leaves nothing
  // playing.
  if (Status st = startPlay(ctx, PlaySession{PlayKind::kWritten, path}, "PLAY WAVEOBJ NOTIFY"); !st) {
    refuse(ctx, "作成したWaveファイルを" + st.message());
    return;
  }
  ctx.state.PLAYFLAG = kPlayWritten;
}

}  // namespace pelisto
