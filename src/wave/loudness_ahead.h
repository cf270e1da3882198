// The list's loudness measured ahead of its write. While a loudness target
// is chosen and the window is up, a job behind the window measures the
// list as it would be written, once the list has stood still for a
// moment; a write of that very list (the same frames from the same,
// unchanged sources) then needs no first pass, and the file is written as
// fast as without a target. A change to the list ends the job and, after
// the pause, starts another. The last list measured is remembered, so that
// an undo back to it, or a second write of it, needs no pass either.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "model/context.h"
#include "wave/loudness.h"
#include "wave/write_plan.h"

namespace pelisto {

// How long the list must stand still before it is measured, in ms.
inline constexpr int64_t kLoudnessAheadDelayMs = 700;

// Starts, ends or leaves the measurement behind the window as the list
// and the options now stand; nowMs is a clock that never goes back.
// Returns how many ms until it wants calling again (-1: not before the
// next event).
int64_t keepLoudnessMeasured(AppContext& ctx, int64_t nowMs);

// What the last measurement found for the frames of plan, if it was of
// exactly those frames and its sources have not changed since.
std::optional<LoudnessMeasurement> measuredAhead(AppContext& ctx, const WritePlan& plan);

// The job behind the window measuring exactly the frames of plan, from
// unchanged sources, taken from the worker (its part done kept) for the
// caller to finish; null when none does.
std::shared_ptr<SteppedLoudnessPass> takeRunningPass(AppContext& ctx, const WritePlan& plan);

// Remembers a measurement of plan made by a write's own first pass.
void rememberLoudness(AppContext& ctx, const WritePlan& plan, const LoudnessMeasurement& measurement);

// True while a job behind the window measures.
bool loudnessBeingMeasured(const AppContext& ctx);

// Ends the job behind the window, if one runs (the window closes).
void endLoudnessAhead(AppContext& ctx);

}  // namespace pelisto
