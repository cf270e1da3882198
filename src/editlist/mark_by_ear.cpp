// Marking by ear: the start and the end of an entry set at the frame being
// heard while the open file plays, or at the pause line when nothing plays,
// without stopping the play.
#include <optional>

#include "editlist/handlers.h"
#include "editlist/marking.h"
#include "model/edit_list.h"
#include "model/messages.h"
#include "model/numbers.h"
#include "playback/session.h"
#include "view/markers.h"

namespace pelisto {
namespace {

constexpr const char* kMsgNothingHeard =
    "元曲を再生中か、無音の位置（表示 → 次の無音へ）を選んでから指定してください";

// The frame being heard in a play of the open file from the view, else the
// pause line's frame; nothing after the refusal to show.
std::optional<MarkPosition> positionByEar(AppContext& ctx) {
  const AppState& s = ctx.state;
  if (s.PLAYFLAG != kPlayIdle) {
    if (s.session.kind != PlayKind::kSource || s.session.path != s.WAVEFILENAME) {
      refuse(ctx, kMsgPlaying);
      return std::nullopt;
    }
    const int64_t ms = playPosition(ctx);
    return clampToData(MarkPosition{static_cast<int32_t>(frameAtMs(ms)), static_cast<int32_t>(ms)}, s.DATASIZE);
  }
  if (s.pauses.line >= 0) {
    const double ms = roundHalfEven(static_cast<double>(s.pauses.line) * 1000.0 / kFramesPerSecond);
    return clampToData(MarkPosition{static_cast<int32_t>(s.pauses.line), static_cast<int32_t>(ms)}, s.DATASIZE);
  }
  refuse(ctx, kMsgNothingHeard);
  return std::nullopt;
}

}  // namespace

void MARKSTARTHERE_ON(AppContext& ctx) {
  if (!waveFileOpen(ctx)) return refuse(ctx, kMsgNoWaveFile);
  if (ctx.state.EDITCOUNT >= kMaxEditRows) return refuse(ctx, kMsgListFull);
  const std::optional<MarkPosition> pos = positionByEar(ctx);
  if (!pos) return;
  endMouseModes(ctx);  // a marking armed with the button gives way
  markStartAt(ctx, *pos);
}

void MARKENDHERE_ON(AppContext& ctx) {
  if (!waveFileOpen(ctx)) return refuse(ctx, kMsgNoWaveFile);
  if (ctx.list.selected() < 0 || !ctx.list.hasPending()) return refuse(ctx, kMsgChooseStart);
  const std::optional<MarkPosition> pos = positionByEar(ctx);
  if (!pos) return;
  endMouseModes(ctx);
  markEndAt(ctx, *pos);
}

}  // namespace pelisto
