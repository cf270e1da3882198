// Undo and redo of the changes to the edit list (編集 → 元に戻す, やり直し,
// and their keys).
#pragma once

#include "model/context.h"

namespace pelisto {

// Both are refused while something plays, as the marking commands are;
// without a change to undo (redo) nothing happens.

// Ctrl+Z: puts the list back as it was before its last change.
void EDITUNDO(AppContext& ctx);
// Ctrl+Shift+Z or Ctrl+Y: puts the list back as it was before the last undo.
void EDITREDO(AppContext& ctx);

}  // namespace pelisto
