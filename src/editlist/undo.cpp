// Undo and redo of the changes to the edit list (編集 → 元に戻す, やり直し,
// and their keys).
#include "editlist/handlers.h"
#include "model/list_state.h"
#include "model/messages.h"
#include "view/handlers.h"
#include "view/markers.h"

namespace pelisto {
namespace {

void travel(AppContext& ctx, bool back) {
  if (ctx.state.PLAYFLAG != kPlayIdle) {
    refuse(ctx, kMsgPlaying);
    return;
  }
  ListHistory& h = ctx.history;
  if (back ? !h.canUndo() : !h.canRedo()) return;
  // Marking armed for the list as it was would act on the wrong entry.
  endMouseModes(ctx);
  if (h.nextIsChange(back)) {
    // The selection to come back to is the one of now, as with a state.
    ListChange& change = back ? h.undoChange() : h.redoChange();
    (back ? change.selectedAfter : change.selectedBefore) = ctx.list.selected();
    applyChange(ctx, change, !back);
  } else {
    ListState current = captureList(ctx, h.latest());
    restoreList(ctx, back ? h.undo(std::move(current)) : h.redo(std::move(current)));
  }
  // The markers of the restored selection, where the view shows them.
  refreshView(ctx);
}

}  // namespace

void EDITUNDO(AppContext& ctx) { travel(ctx, true); }
void EDITREDO(AppContext& ctx) { travel(ctx, false); }

}  // namespace pelisto
