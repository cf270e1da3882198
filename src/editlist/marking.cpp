#include "editlist/marking.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "editlist/handlers.h"
#include "model/edit_list.h"
#include "model/messages.h"
#include "model/numbers.h"
#include "view/handlers.h"
#include "view/markers.h"

namespace pelisto {
namespace {

int32_t saturatedHalfEven(double v) {
  if (std::isnan(v)) return 0;
  if (auto r = toInt32HalfEven(v)) return *r;
  return v < 0 ? std::numeric_limits<int32_t>::min() : std::numeric_limits<int32_t>::max();
}

// The checks both marking buttons make before marking starts.
Status markingRefusal(const AppContext& ctx) {
  if (ctx.state.PLAYFLAG != kPlayIdle) return Status::error(StatusCode::kInvalid, kMsgPlaying);
  if (!waveFileOpen(ctx)) return Status::error(StatusCode::kInvalid, kMsgNoWaveFile);
  return Status::ok();
}

}  // namespace

void armMarking(AppContext& ctx, MarkMode mode) {
  ctx.ui.setPointer(Control::PICTURE1, Pointer::kSizeWE);
  ctx.state.MARKMODE = mode;
  showMarkingCursor(ctx, 0);
}

MarkPosition positionAt(int32_t second, double offset, double width) {
  // offset × rate / width rather than (offset / width) × rate: for whole
  // pixels the quotient is then exact, so halves are recognised as halves.
  double framesPart = offset * kFramesPerSecond / width;
  double msPart = offset * 1000.0 / width;
  return MarkPosition{
      saturatedHalfEven(double(second) * kFramesPerSecond + framesPart),
      saturatedHalfEven(double(second) * 1000.0 + msPart),
  };
}

MarkPosition clampToData(MarkPosition pos, uint32_t dataSize) {
  // The end of the data is a position too: an end marked there takes the
  // last frame in (a range ends before its end frame).
  const int64_t endFrame = int64_t(dataSize) / kFrameSize;
  const int64_t endMs = endFrame * 1000 / kFramesPerSecond;
  pos.frames = static_cast<int32_t>(std::clamp<int64_t>(pos.frames, 0, endFrame));
  pos.ms = static_cast<int32_t>(std::clamp<int64_t>(pos.ms, 0, endMs));
  return pos;
}

void BUTTON3_ON(AppContext& ctx) {
  if (Status st = markingRefusal(ctx); !st) return refuse(ctx, st.message());
  if (ctx.state.EDITCOUNT >= kMaxEditRows) return refuse(ctx, kMsgListFull);
  armMarking(ctx, kMarkStart);
}

void BUTTON4_ON(AppContext& ctx) {
  if (Status st = markingRefusal(ctx); !st) return refuse(ctx, st.message());
  if (ctx.list.selected() < 0 || !ctx.list.hasPending()) return refuse(ctx, kMsgChooseStart);
  armMarking(ctx, kMarkEnd);
}

void LIST1_CLICK(AppContext& ctx) {
  // The line is selected already: a drag of the last one's marker ends.
  markersFollowList(ctx);
  int s = ctx.list.selected();
  if (s < 0 || s >= static_cast<int>(ctx.state.EDITDATA.size())) return;
  int32_t startMs = ctx.state.EDITDATA[s][kStartMs];
  int32_t second = startMs / 1000 - (startMs % 1000 < 0 ? 1 : 0);  // floor
  ctx.ui.setScrollPos(second);
  // As a move of the scroll bar: refused when no file is in the view.
  HSCROLL1_CHANGE(ctx);
}

}  // namespace pelisto
