// The list commands: a click on a line, and the buttons for the loop
// count, delete, up, down, blank and copy.
#include <optional>
#include <string>

#include "editlist/handlers.h"
#include "model/edit_list.h"
#include "model/line_text.h"
#include "model/messages.h"
#include "model/numbers.h"
#include "view/handlers.h"
#include "view/markers.h"

namespace pelisto {
namespace {

// The selected line, or -1 after the common refusal.
int selectedOrRefuse(AppContext& ctx) {
  int i = ctx.list.selected();
  if (i < 0) refuse(ctx, kMsgSelectRange);
  return i;
}

}  // namespace

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

void BUTTON7_ON(AppContext& ctx) {
  int i = selectedOrRefuse(ctx);
  if (i < 0) return;
  ctx.list.ensureRow(i);
  std::optional<std::string> answer = ctx.ui.inputBox(
      "ループ回数の指定", "ループする回数を入力してください", decimal(ctx.state.EDITDATA[i][kLoopCount]));
  if (!answer) return;
  std::optional<int32_t> count = toInt32HalfEven(readLeadingNumber(*answer));
  if (!count) {
    refuse(ctx, kMsgLoopRange);
    return;
  }
  EditDataRow row = ctx.state.EDITDATA[i];
  row[kLoopCount] = *count;
  ctx.list.setData(i, row);
}

void BUTTON8_ON(AppContext& ctx) {
  int i = selectedOrRefuse(ctx);
  if (i < 0) return;
  AppState& s = ctx.state;
  const int n = ctx.list.lineCount();
  const bool pending = ctx.list.isPending(i);
  ctx.list.ensureRow(n - 1);
  // The rows after i move up one place; the row freed at the end keeps its
  // texts, its numbers cleared.
  EditFileRow freed = s.EDITFILE[n - 1];
  ctx.list.eraseRow(i);
  ctx.list.insertRow(n - 1, ListRow{std::move(freed), EditDataRow{}});
  ctx.list.removeLine(i);
  ctx.list.select(-1);
  if (!pending) ctx.list.setFinishedCount(s.EDITCOUNT - 1);
}

void BUTTON9_ON(AppContext& ctx) {
  int i = selectedOrRefuse(ctx);
  if (i <= 0 || ctx.list.isPending(i)) return;  // the pending entry stays last
  std::string text = ctx.list.line(i);
  ctx.list.swapRows(i - 1, i);
  ctx.list.removeLine(i);
  ctx.list.insertLine(i - 1, text);
  ctx.list.select(i - 1);
}

void BUTTON10_ON(AppContext& ctx) {
  int i = selectedOrRefuse(ctx);
  if (i < 0 || i >= ctx.list.lineCount() - 1 || ctx.list.isPending(i + 1)) return;
  std::string text = ctx.list.line(i);
  ctx.list.swapRows(i, i + 1);
  ctx.list.removeLine(i);
  if (i + 1 <= ctx.list.lineCount() - 1) {
    ctx.list.insertLine(i + 1, text);
  } else {
    ctx.list.addLine(text);
  }
  ctx.list.select(i + 1);
}

void BUTTON11_ON(AppContext& ctx) {
  if (ctx.list.lineCount() == 0) {
    refuse(ctx, kMsgBlankAlone);
    return;
  }
  if (!ctx.list.hasRoom()) {
    refuse(ctx, kMsgListFull);
    return;
  }
  std::optional<std::string> answer = ctx.ui.inputBox(
      "ブランクの挿入", "ブランク秒数を「NNNN.NNN」形式で入力してください", "0");
  if (!answer) return;
  double seconds = readLeadingNumber(*answer);
  if (seconds < 0) {
    refuse(ctx, kMsgBlankNegative);
    return;
  }
  std::optional<int32_t> frames = toInt32HalfEven(seconds * kFramesPerSecond);
  std::optional<int32_t> ms = toInt32HalfEven(seconds * 1000.0);
  if (!frames || !ms) {
    refuse(ctx, kMsgBlankTooLong);
    return;
  }
  EditFileRow file{"", kBlankName};
  EditDataRow data{};
  data[kEndFrame] = *frames;
  data[kEndMs] = *ms;
  ctx.list.addFinished(file, data, finishedText(kBlankName, 0, *ms));
}

void BUTTON12_ON(AppContext& ctx) {
  int i = selectedOrRefuse(ctx);
  if (i < 0 || ctx.list.isPending(i)) return;  // a pending entry has no end to copy
  if (!ctx.list.hasRoom()) {
    refuse(ctx, kMsgListFull);
    return;
  }
  ctx.list.ensureRow(i);
  ctx.list.addFinished(ctx.state.EDITFILE[i], ctx.state.EDITDATA[i], ctx.list.line(i));
}

}  // namespace pelisto
