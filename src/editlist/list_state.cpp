#include "editlist/list_state.h"

#include "app/context.h"
#include "app/handlers.h"

namespace pelisto {

bool ListState::sameList(const ListState& other) const {
  if (count != other.count || lineCount != other.lineCount || rows.size() != other.rows.size()) {
    return false;
  }
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i] != other.rows[i] && *rows[i] != *other.rows[i]) return false;
  }
  return true;
}

ListState captureList(const AppContext& ctx, const ListState* previous) {
  const AppState& s = ctx.state;
  ListState out;
  out.lineCount = ctx.ui.lineCount();
  out.selected = ctx.ui.selected();
  out.count = s.EDITCOUNT;
  out.revision = s.listRevision;
  const size_t count = s.EDITDATA.size();
  out.rows.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    ListSlot slot{s.EDITFILE[i], s.EDITDATA[i], std::nullopt};
    if (static_cast<int>(i) < out.lineCount) slot.line = ctx.ui.line(static_cast<int>(i));
    if (previous && i < previous->rows.size() && *previous->rows[i] == slot) {
      out.rows.push_back(previous->rows[i]);
    } else {
      out.rows.push_back(std::make_shared<const ListSlot>(std::move(slot)));
    }
  }
  return out;
}

void restoreList(AppContext& ctx, const ListState& state) {
  AppState& s = ctx.state;
  const size_t count = state.rows.size();
  s.EDITFILE.resize(count);
  s.EDITDATA.resize(count);
  ctx.ui.clearLines();
  for (size_t i = 0; i < count; ++i) {
    const ListSlot& slot = *state.rows[i];
    s.EDITFILE[i] = slot.file;
    s.EDITDATA[i] = slot.data;
    if (slot.line) ctx.ui.addLine(*slot.line);
  }
  s.EDITCOUNT = state.count;
  s.listRevision = state.revision;
  ctx.ui.select(state.selected);
  // The markers of the restored selection, where the view shows them.
  if (waveFileOpen(ctx)) HSCROLL1_CHANGE(ctx);
}

void noteListChange(AppContext& ctx, const ListState& before) {
  if (captureList(ctx, &before).sameList(before)) return;
  ctx.history.recordChange(before);
  ctx.state.listRevision = ++ctx.state.lastRevision;
}

void markListSaved(AppContext& ctx) { ctx.state.savedRevision = ctx.state.listRevision; }

void markListLoaded(AppContext& ctx) {
  ctx.history.clear();
  ctx.state.listRevision = ++ctx.state.lastRevision;
  markListSaved(ctx);
}

bool listUnsaved(const AppContext& ctx) {
  return ctx.state.listRevision != ctx.state.savedRevision;
}

}  // namespace pelisto
