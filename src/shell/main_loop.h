// The main loop: dispatch pending events; while a play is followed on
// screen (a tracked play, PLAYFLAG kPlayTracked, or a listen across a join)
// run a step of following it at least every kTrackingIntervalMs, otherwise
// wait for the next event without polling (or until the automatic copy of
// the edit list is due).
#pragma once

#include <cstdint>

#include "model/context.h"
#include "platform/event_pump.h"

namespace pelisto {

constexpr int kTrackingIntervalMs = 5;

// Keeps what follows the list behind the window up to date: the copy of an
// unsaved list, the list's loudness measured ahead of its write. Returns
// how many ms until it wants calling again (-1: not before the next event).
int64_t keepWorkBehind(AppContext& ctx);

// Returns when the main window has been closed.
void runMainLoop(AppContext& ctx, EventPump& pump);

}  // namespace pelisto
