// The open-file command.
#include "wave/open_wave.h"

#include "model/messages.h"
#include "view/graph_cache.h"
#include "view/handlers.h"
#include "view/markers.h"
#include "view/survey.h"
#include "wave/convert_command.h"
#include "wave/handlers.h"
#include "view/view_text.h"
#include "wave/wave_header.h"

namespace pelisto {

namespace {

// The refusal to show for a file that could not be opened or read (with the
// reason), or failed a check of its header (the check's message).
Status openRefusal(const std::string& what, const std::string& path, const Status& why) {
  return Status::error(why.code(), what + "\n" + path + "\n" + why.message());
}

}  // namespace

void nameWaveFile(AppContext& ctx, std::string path) { ctx.state.WAVEFILENAME = std::move(path); }

void closeWaveFile(AppContext& ctx) {
  AppState& s = ctx.state;
  if (s.WAVEFNUM != 0 && ctx.files.isOpen(s.WAVEFNUM)) ctx.files.close(s.WAVEFNUM);
  s.WAVEFNUM = 0;
}

ViewOpening openIntoView(AppContext& ctx, const std::string& path) {
  AppState& s = ctx.state;
  endMouseModes(ctx);
  cancelGraphBuild(ctx);  // a cache still being built was for the file going now
  endSurvey(ctx);
  closeWaveFile(ctx);
  Result<int16_t> opened = ctx.files.openFree(path, OpenMode::kRead);
  if (!opened) {
    clearView(ctx);
    return {openRefusal(kMsgCannotOpenWave, path, opened.status())};
  }
  s.WAVEFNUM = opened.value();
  WaveHeaderCheck check = checkWaveHeader(*ctx.files.file(s.WAVEFNUM));
  if (check.formatRead) s.WAVEFMT = check.format;
  if (!check.ok()) {
    ctx.files.close(s.WAVEFNUM);
    s.WAVEFNUM = 0;
    clearView(ctx);
    const Status& st = check.status;
    if (st.code() == StatusCode::kIoError) return {openRefusal(kMsgCannotReadWave, path, st), check.fault};
    return {st, check.fault};
  }
  ctx.files.seek(s.WAVEFNUM, kHeaderSize);
  s.DATASIZE = check.dataSize;
  ctx.ui.setScrollRange(0, scrollRangeMax(s.DATASIZE));
  const int32_t seconds = lengthSeconds(s.DATASIZE);
  if (s.GRAPHFAST != 0) LOADGRAPHDATA(ctx, seconds);
  startSurvey(ctx);
  ctx.ui.setText(Control::EDIT1, lengthText(seconds));
  // The view starts at second 0 in every respect: the scroll bar, the
  // position text and the markers agree with the picture.
  ctx.ui.setScrollPos(0);
  refreshView(ctx);
  return {Status::ok()};
}

Status openWaveForView(AppContext& ctx, const std::string& path) { return openIntoView(ctx, path).status; }

FileDialogSpec openWaveDialog(SoundLibrary& sound) {
  FileDialogSpec dialog{"waveファイルを開く", "waveファイル(*.wav)", "*.wav", false};
  // Files of other formats are converted when opened: the dialog shows them too.
  std::string patterns;
  for (const std::string& extension : sound.readableExtensions()) {
    patterns.append(patterns.empty() ? "" : " ").append("*.").append(extension);
  }
  dialog.moreFilters = {{"音声ファイル(" + patterns + ")", patterns}, {"すべてのファイル(*)", "*"}};
  return dialog;
}

void OPENWAVEFILE_ON(AppContext& ctx) {
  if (ctx.state.PLAYFLAG != kPlayIdle) {
    refuse(ctx, kMsgPlaying);
    return;
  }
  if (std::optional<std::string> path = ctx.ui.fileDialog(openWaveDialog(ctx.sound))) openWaveFileAt(ctx, *path);
}

void openWaveFileAt(AppContext& ctx, const std::string& path) {
  ctx.state.WAVEFILENAME = path;
  ViewOpening opening = openIntoView(ctx, path);
  // One box: the offer to convert carries the refusal's reason.
  if (!opening.status && !offerConversion(ctx, path, opening.status.message(), opening.fault)) {
    refuse(ctx, opening.status.message());
  }
}

}  // namespace pelisto
