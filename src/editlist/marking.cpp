// Marking a range with the mouse: the two buttons arm it, the cursor line
// follows the mouse over the waveform, a press there sets the start (a new
// pending entry) or the end (the pending entry finished).
#include "editlist/marking.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "editlist/handlers.h"
#include "model/edit_list.h"
#include "model/forms.h"
#include "model/line_text.h"
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

int16_t pixelColumn(double x) {
  double r = roundHalfEven(x);
  if (std::isnan(r)) return 0;
  return static_cast<int16_t>(std::clamp(r, -32768.0, 32767.0));
}

// The checks both marking buttons make before marking starts.
Status markingRefusal(const AppContext& ctx) {
  if (ctx.state.PLAYFLAG != kPlayIdle) return Status::error(StatusCode::kInvalid, kMsgPlaying);
  if (!waveFileOpen(ctx)) return Status::error(StatusCode::kInvalid, kMsgNoWaveFile);
  return Status::ok();
}

}  // namespace

void markStartAt(AppContext& ctx, const MarkPosition& pos) {
  AppState& s = ctx.state;
  const int r = s.EDITCOUNT;
  if (r >= kMaxEditRows) {
    refuse(ctx, kMsgListFull);
    return;
  }
  EditDataRow data{};
  data[kStartFrame] = pos.frames;
  data[kStartMs] = pos.ms;
  data[kLoopCount] = 1;
  ctx.list.setRow(r, EditFileRow{s.WAVEFILENAME, displayName(s.WAVEFILENAME)}, data);
  if (r < ctx.list.lineCount()) ctx.list.removeLine(ctx.list.lineCount() - 1);
  ctx.list.addLine(pendingLine(s, r));
  ctx.list.select(ctx.list.lineCount() - 1);
}

void markEndAt(AppContext& ctx, const MarkPosition& pos) {
  AppState& s = ctx.state;
  if (!ctx.list.hasPending()) return;
  const int r = s.EDITCOUNT;
  ctx.list.ensureRow(r);
  EditDataRow data = s.EDITDATA[r];
  data[kEndFrame] = pos.frames;
  data[kEndMs] = pos.ms;
  ctx.list.setData(r, data);
  ctx.list.removeLine(ctx.list.lineCount() - 1);
  ctx.list.addLine(finishedLine(s, r));
  ctx.list.select(-1);
  ctx.list.setFinishedCount(r + 1);
}

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

void PICTURE1_MOUSEMOVE(AppContext& ctx, int, double x, double) {
  if (ctx.state.MARKMODE == kMarkNone) return;
  showMarkingCursor(ctx, pixelColumn(x));
}

void PICTURE1_MOUSEDOWN(AppContext& ctx, int button, double x, double) {
  AppState& s = ctx.state;
  // Whatever the button, marking ends here and its cursor line goes: no
  // press leaves a line on the picture.
  eraseMarkingCursor(ctx);
  ctx.ui.setPointer(Control::PICTURE1, Pointer::kArrow);
  if (button == kButtonRight) {
    s.MARKMODE = kMarkNone;
    return;
  }
  const ControlInfo& picture = controlInfo(Control::PICTURE1);
  // Within the data: a press left of the picture's client area gives 0, one
  // in the empty tail of the last second the last frame.
  const MarkPosition pos =
      clampToData(positionAt(ctx.ui.scrollPos(), x, picture.width), s.DATASIZE);
  if (s.MARKMODE == kMarkStart) {
    markStartAt(ctx, pos);
  } else if (s.MARKMODE == kMarkEnd) {
    markEndAt(ctx, pos);
  }
  s.MARKMODE = kMarkNone;
}

}  // namespace pelisto
