#include "editlist/list_state.h"

namespace pelisto {

ListState captureList(const AppContext& ctx) {
  ListState s;
  s.files = ctx.state.EDITFILE;
  s.data = ctx.state.EDITDATA;
  const int n = ctx.ui.lineCount();
  s.lines.reserve(n);
  for (int i = 0; i < n; ++i) s.lines.push_back(ctx.ui.line(i));
  s.selected = ctx.ui.selected();
  s.count = ctx.state.EDITCOUNT;
  return s;
}

void noteListChange(AppContext& ctx, const ListState& before) {
  if (captureList(ctx).sameList(before)) return;
  ++ctx.state.listRevision;
}

void markListSaved(AppContext& ctx) { ctx.state.savedRevision = ctx.state.listRevision; }

bool listUnsaved(const AppContext& ctx) {
  return ctx.state.listRevision != ctx.state.savedRevision;
}

}  // namespace pelisto
