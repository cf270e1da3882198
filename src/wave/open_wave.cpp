// The open-file command.
#include "wave/open_wave.h"

#include "app/handlers.h"
#include "app/messages.h"
#include "wave/wave_header.h"

namespace pelisto {

bool openWaveForView(AppContext& ctx, const std::string& path) {
  AppState& s = ctx.state;
  if (s.WAVEFNUM != 0 && ctx.files.isOpen(s.WAVEFNUM)) ctx.files.close(s.WAVEFNUM);
  s.WAVEFNUM = ctx.files.freeFile();
  Status opened = s.WAVEFNUM == 0
                      ? Status::error(StatusCode::kLimit, "too many open files")
                      : ctx.files.open(s.WAVEFNUM, path, OpenMode::kRead);
  if (!opened) {
    s.WAVEFNUM = 0;
    refuse(ctx, std::string(kMsgCannotOpenWave) + "\n" + opened.message());
    return false;
  }
  WaveHeaderCheck check = checkWaveHeader(ctx.files, s.WAVEFNUM);
  if (check.formatRead) s.WAVEFMT = check.format;
  if (!check.ok) {
    refuse(ctx, check.message);
    ctx.files.close(s.WAVEFNUM);
    s.WAVEFNUM = 0;
    return false;
  }
  s.DATASIZE = check.dataSize;
  ctx.ui.setScrollRange(0, scrollRangeMax(s.DATASIZE));
  int32_t seconds = lengthSeconds(s.DATASIZE);
  if (s.GRAPHFAST != 0) LOADGRAPHDATA(ctx, path, seconds);
  ctx.ui.setText(Control::EDIT1, lengthText(seconds));
  SHOWWAVEDATA(ctx, 0);
  return true;
}

void OPENWAVEFILE_ON(AppContext& ctx) {
  if (ctx.state.PLAYFLAG != 0) {
    refuse(ctx, kMsgPlaying);
    return;
  }
  std::string path =
      ctx.ui.fileDialog(FileDialogSpec{"waveファイルを開く", "waveファイル(*.wav)", "*.wav", false});
  if (path == kCancelMark || path.empty()) return;
  ctx.state.WAVEFILENAME = path;
  openWaveForView(ctx, path);
}

}  // namespace pelisto
