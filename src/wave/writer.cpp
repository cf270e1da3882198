// The create-wave-file command: the edit list joined into a new wave file,
// which then plays.
#include "app/handlers.h"
#include "app/messages.h"
#include "playback/playback_messages.h"
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

// Plays the new file as a created file (PLAYFLAG kPlayWritten). A command
// the device refuses is reported; the alias is not left open and nothing
// counts as playing.
void playWrittenFile(AppContext& ctx, const std::string& path) {
  MciResult r = sendMci(ctx, "OPEN " + path + " TYPE WAVEAUDIO ALIAS WAVEOBJ");
  const bool opened = r.code == 0;
  if (opened) r = sendMci(ctx, "SET WAVEOBJ TIMEFORMAT MILLISECONDS");
  if (r.code == 0) r = sendMci(ctx, "PLAY WAVEOBJ NOTIFY");
  if (r.code != 0) {
    if (opened) sendMci(ctx, "CLOSE WAVEOBJ");
    ctx.lastMci = r;  // the refused command's result, not the close's
    refuse(ctx, "作成したWaveファイルを" + playFailedText(r.error));
    return;
  }
  ctx.state.PLAYFLAG = kPlayWritten;
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

  std::string path = ctx.ui.fileDialog(FileDialogSpec{kWriteTitle, kWriteFilterText, kWritePattern, true});
  if (path == kCancelMark || path.empty()) return;
  path = withWavExtension(path);
  if (Status st = checkOutputPath(ctx, plan.value(), path); !st) {
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
  playWrittenFile(ctx, path);
}

}  // namespace pelisto
