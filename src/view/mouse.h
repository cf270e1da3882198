// What the mouse handlers leave behind when something else takes over the
// view.
#pragma once

#include "model/context.h"

namespace pelisto {

// Ends mouse marking and a marker drag: the marking cursor line is erased,
// MARKMODE is kMarkNone, DRAGMODE kDragNone and the pointers are arrows
// again (any mouse capture released). Every open of a wave file or a
// project does this first.
void endMouseModes(AppContext& ctx);

}  // namespace pelisto
