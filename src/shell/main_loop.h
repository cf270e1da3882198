// The main loop: dispatch pending events; while a play is followed on
// screen (a tracked play, PLAYFLAG kPlayTracked, or a listen across a join)
// run a step of following it at least every kTrackingIntervalMs, otherwise
// wait for the next event without polling (or until the automatic copy of
// the edit list is due).
#pragma once

#include "model/context.h"
#include "platform/event_pump.h"

namespace pelisto {

constexpr int kTrackingIntervalMs = 5;

// Returns when the main window has been closed.
void runMainLoop(AppContext& ctx, EventPump& pump);

}  // namespace pelisto
