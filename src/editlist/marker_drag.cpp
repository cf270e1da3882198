// Dragging the markers of the selected entry along the band above the
// waveform (MAINFORM): a drop moves that end of the entry.
#include "editlist/handlers.h"
#include "editlist/marking.h"
#include "model/edit_list.h"
#include "model/forms.h"
#include "model/line_text.h"
#include "view/handlers.h"
#include "view/markers.h"

namespace pelisto {
namespace {

// Whether the marker of MARKERBOX row `row` is shown and (x, y) lies in it.
bool overMarker(const AppState& s, int row, double x, double y) {
  const int16_t* box = s.MARKERBOX[row];
  bool shown = box[0] != 0 || box[1] != 0 || box[2] != 0 || box[3] != 0;
  return shown && box[0] <= x && x <= box[2] && box[1] <= y && y <= box[3];
}

}  // namespace

void MAINFORM_MOUSEMOVE(AppContext& ctx, int button, double x, double y) {
  AppState& s = ctx.state;
  if (button == kButtonNone) {
    if (s.DRAGMODE != kDragNone) ctx.ui.setPointer(Control::MAINFORM, Pointer::kArrow);
    releaseMarker(s);
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
  EditDataRow row = s.EDITDATA[line];
  if (s.DRAGMODE == kDragStartMarker) {
    row[kStartFrame] = pos.frames;
    row[kStartMs] = pos.ms;
  } else {
    row[kEndFrame] = pos.frames;
    row[kEndMs] = pos.ms;
  }
  ctx.list.setData(line, row);
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
