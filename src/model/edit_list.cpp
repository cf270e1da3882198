#include "model/edit_list.h"

#include <algorithm>
#include <utility>

namespace pelisto {

bool hasPendingEntry(const AppContext& ctx) {
  return ctx.ui.lineCount() == ctx.state.EDITCOUNT + 1;
}

bool isPendingLine(const AppContext& ctx, int line) {
  return hasPendingEntry(ctx) && line == ctx.state.EDITCOUNT;
}

bool hasRoomForEntry(const AppContext& ctx) {
  return ctx.ui.lineCount() < kMaxEditRows && ctx.state.EDITCOUNT < kMaxEditRows;
}

void clearRow(AppState& state, int r) {
  state.ensureRow(r);
  state.EDITFILE[r] = EditFileRow{};
  state.EDITDATA[r] = EditDataRow{};
}

void swapRows(AppState& state, int a, int b) {
  state.ensureRow(std::max(a, b));
  std::swap(state.EDITFILE[a], state.EDITFILE[b]);
  std::swap(state.EDITDATA[a], state.EDITDATA[b]);
}

void addFinishedEntry(AppContext& ctx, EditFileRow file, EditDataRow data,
                      const std::string& text) {
  AppState& s = ctx.state;
  const int r = s.EDITCOUNT;
  if (hasPendingEntry(ctx)) {
    s.ensureRow(r + 1);
    s.EDITFILE[r + 1] = s.EDITFILE[r];
    s.EDITDATA[r + 1] = s.EDITDATA[r];
    s.EDITFILE[r] = std::move(file);
    s.EDITDATA[r] = data;
    ctx.ui.insertLine(r, text);
  } else {
    s.ensureRow(r);
    s.EDITFILE[r] = std::move(file);
    s.EDITDATA[r] = data;
    ctx.ui.addLine(text);
  }
  s.EDITCOUNT = static_cast<int16_t>(r + 1);
}

std::string displayName(const std::string& path) {
  size_t cut = path.find_last_of("/\\");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace pelisto
