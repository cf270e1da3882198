// Splitting the open file at its pauses into entries of the edit list.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "editlist/handlers.h"
#include "model/edit_list.h"
#include "model/line_text.h"
#include "model/messages.h"
#include "model/numbers.h"
#include "view/pause_search.h"

namespace pelisto {
namespace {

constexpr int64_t kReachFrames = kFramesPerSecond / 10;  // 0.10 s into each pause
constexpr const char* kMsgNoPause = "無音が見つかりません（表示 → 無音の設定… で変えられます）";
constexpr const char* kMsgAllPause = "無音のほかに音がありません";

int32_t msOfFrame(int64_t frame) {
  return static_cast<int32_t>(roundHalfEven(static_cast<double>(frame) * 1000.0 / kFramesPerSecond));
}

// The stretches of sound between the pauses, [first, end) in frames, each
// reaching kReachFrames into the pauses beside it but never past a pause's
// middle.
std::vector<std::pair<int64_t, int64_t>> stretchesBetween(const std::vector<Pause>& pauses, int64_t frames) {
  std::vector<std::pair<int64_t, int64_t>> stretches;
  int64_t from = 0, begin = 0;  // where the sound and the stretch after the last pause begin
  auto add = [&](int64_t soundEnd, int64_t end) {
    if (soundEnd > from) stretches.emplace_back(begin, end);
  };
  for (const Pause& p : pauses) {
    add(p.first, std::min(p.first + kReachFrames, p.middle() + 1));
    from = p.last + 1;
    begin = std::max(from - kReachFrames, p.middle() + 1);
  }
  add(frames, frames);
  return stretches;
}

}  // namespace

void SPLITATPAUSES_ON(AppContext& ctx) {
  AppState& s = ctx.state;
  if (!waveFileOpen(ctx)) return refuse(ctx, kMsgNoWaveFile);
  const std::optional<std::vector<Pause>> pauses = allPauses(ctx);
  if (!pauses) return;  // the user ended the search
  if (pauses->empty()) return refuse(ctx, kMsgNoPause);
  const auto stretches = stretchesBetween(*pauses, s.DATASIZE / kFrameSize);
  if (stretches.empty()) return refuse(ctx, kMsgAllPause);
  if (ctx.list.lineCount() + static_cast<int64_t>(stretches.size()) > kMaxEditRows) return refuse(ctx, kMsgListFull);
  const std::string name = displayName(s.WAVEFILENAME);
  for (const auto& [first, end] : stretches) {
    EditDataRow data{};
    data[kStartFrame] = static_cast<int32_t>(first);
    data[kEndFrame] = static_cast<int32_t>(end);
    data[kStartMs] = msOfFrame(first);
    data[kEndMs] = msOfFrame(end);
    data[kLoopCount] = 1;
    ctx.list.addFinished(EditFileRow{s.WAVEFILENAME, name}, data, finishedText(name, data[kStartMs], data[kEndMs]));
  }
  ctx.ui.inform(s.APPTITLE, std::to_string(stretches.size()) + " 件の範囲を編集リストに追加しました");
}

}  // namespace pelisto
