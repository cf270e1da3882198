// Undo and redo of the changes to the edit list (keyboard only: the window
// has no control for them).
#pragma once

#include "app/context.h"

namespace pelisto {

// Puts the list back as it was before its last change (EDITUNDO), or as it
// was before the last undo (EDITREDO). Refused while something plays, as
// the marking commands are; without a change to undo (redo) nothing happens.
void EDITUNDO(AppContext& ctx);
void EDITREDO(AppContext& ctx);

}  // namespace pelisto
