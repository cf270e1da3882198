// Marking on the waveform (PICTURE1) and dragging the markers of the
// selected entry along the band above it (MAINFORM).
#include <algorithm>
#include <cmath>

#include "editlist/handlers.h"
#include "editlist/marking.h"
#include "model/edit_list.h"
#include "model/forms.h"
#include "model/line_text.h"
#include "model/messages.h"
#include "model/numbers.h"
#include "view/handlers.h"
#include "view/markers.h"

namespace pelisto {
namespace {

constexpr int kButtonNone = 0;
constexpr int kButtonLeft = 1;
constexpr int kButtonRight = 2;

int16_t pixelColumn(double x) {
  double r = roundHalfEven(x);
  if (std::isnan(r)) return 0;
  return static_cast<int16_t>(std::clamp(r, -32768.0, 32767.0));
}

// Whether the marker of MARKERBOX row `row` is shown and (x, y) lies in it.
bool overMarker(const AppState& s, int row, double x, double y) {
  const int16_t* box = s.MARKERBOX[row];
  bool shown = box[0] != 0 || box[1] != 0 || box[2] != 0 || box[3] != 0;
  return shown && box[0] <= x && x <= box[2] && box[1] <= y && y <= box[3];
}

// A start mark: row EDITCOUNT is emptied and gets the open file, the
// position and loop count 1; its pending line replaces an earlier one.
void markStart(AppContext& ctx, const MarkPosition& pos) {
  AppState& s = ctx.state;
  const int r = s.EDITCOUNT;
  if (r >= kMaxEditRows) {
    refuse(ctx, kMsgListFull);
    return;
  }
  ctx.list.clearRow(r);
  s.EDITFILE[r][kSourcePath] = s.WAVEFILENAME;
  s.EDITFILE[r][kDisplayName] = displayName(s.WAVEFILENAME);
  s.EDITDATA[r][kStartFrame] = pos.frames;
  s.EDITDATA[r][kStartMs] = pos.ms;
  s.EDITDATA[r][kLoopCount] = 1;
  if (r < ctx.list.lineCount()) ctx.list.removeLine(ctx.list.lineCount() - 1);
  ctx.list.addLine(pendingLine(s, r));
  ctx.list.select(ctx.list.lineCount() - 1);
}

// An end mark finishes the pending entry. Without one (it was deleted after
// end marking was armed) there is nothing to finish.
void markEnd(AppContext& ctx, const MarkPosition& pos) {
  AppState& s = ctx.state;
  if (!ctx.list.hasPending()) return;
  const int r = s.EDITCOUNT;
  s.ensureRow(r);
  s.EDITDATA[r][kEndFrame] = pos.frames;
  s.EDITDATA[r][kEndMs] = pos.ms;
  ctx.list.removeLine(ctx.list.lineCount() - 1);
  ctx.list.addLine(finishedLine(s, r));
  ctx.list.select(-1);
  s.EDITCOUNT = static_cast<int16_t>(r + 1);
}

}  // namespace

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
    markStart(ctx, pos);
  } else if (s.MARKMODE == kMarkEnd) {
    markEnd(ctx, pos);
  }
  s.MARKMODE = kMarkNone;
}

void MAINFORM_MOUSEMOVE(AppContext& ctx, int button, double x, double y) {
  AppState& s = ctx.state;
  if (button == kButtonNone) {
    if (s.DRAGMODE != kDragNone) ctx.ui.setPointer(Control::MAINFORM, Pointer::kArrow);
    s.DRAGMODE = kDragNone;
    s.dragMoved = false;
    for (int16_t row = 0; row < 2; ++row) {  // the end marker wins on overlap
      if (!overMarker(s, row, x, y)) continue;
      ctx.ui.setPointer(Control::MAINFORM, Pointer::kSizeWE);
      // The drag must keep reaching the main window when the pointer
      // strays onto the picture or out of the window.
      ctx.ui.captureMouse(Control::MAINFORM);
      s.DRAGMODE = row == 0 ? kDragStartMarker : kDragEndMarker;
    }
    return;
  }
  if (button != kButtonLeft || s.DRAGMODE == kDragNone) return;
  s.dragMoved = true;
  const ControlInfo& picture = controlInfo(Control::PICTURE1);
  if (x < picture.left || x > picture.left + picture.width) {
    ctx.ui.setScrollPos(ctx.ui.scrollPos() + (x < picture.left ? -1 : 1));
    eraseMarkerBand(ctx);
    refreshView(ctx);
  } else {
    eraseMarkerBand(ctx);
    drawMarker(ctx, x);
  }
}

void MAINFORM_MOUSEUP(AppContext& ctx, int, double x, double) {
  AppState& s = ctx.state;
  if (s.DRAGMODE == kDragNone) return;
  // A press and release on a marker without a move is no drop.
  if (!s.dragMoved) return;
  s.dragMoved = false;
  const int line = ctx.list.selected();
  if (line < 0 || line >= ctx.list.lineCount() || line >= static_cast<int>(s.EDITDATA.size())) {
    return;
  }
  const ControlInfo& picture = controlInfo(Control::PICTURE1);
  MarkPosition pos = clampToData(
      positionAt(ctx.ui.scrollPos(), x - picture.left, picture.width), s.DATASIZE);
  EditDataRow& row = s.EDITDATA[line];
  if (s.DRAGMODE == kDragStartMarker) {
    row[kStartFrame] = pos.frames;
    row[kStartMs] = pos.ms;
  } else {
    row[kEndFrame] = pos.frames;
    row[kEndMs] = pos.ms;
  }
  // The pending entry keeps its pending line: it has no end yet.
  std::string text = ctx.list.isPending(line) ? pendingLine(s, line) : finishedLine(s, line);
  ctx.list.removeLine(line);
  if (line <= ctx.list.lineCount() - 1) {
    ctx.list.insertLine(line, text);
  } else {
    ctx.list.addLine(text);
  }
  ctx.list.select(line);
  refreshView(ctx);
}

}  // namespace pelisto
