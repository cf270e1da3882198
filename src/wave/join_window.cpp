#include "wave/join_window.h"

#include <algorithm>

#include "wave/join_fades.h"

namespace pelisto {

Result<WritePlan> planJoinWindow(AppContext& ctx, int line) {
  Result<ListPlan> list = planListLines(ctx);
  if (!list) return list.status();
  const bool stopped = !list->stopped;
  if (stopped && list->stoppedAt <= line) return list->stopped;
  WritePlan& plan = list->plan;
  const std::vector<WriteStep>& steps = plan.steps;
  uint64_t at = 0, total = 0;  // where line starts, where the planned lines end
  for (size_t i = 0; i < steps.size(); ++i) {
    if (i == static_cast<size_t>(line)) at = total;
    total += stepFrames(steps[i]);
  }
  const uint64_t from = at - std::min(at, kJoinListenFrames);
  const uint64_t to = line == 0 ? kJoinListenFrames
                                : at + std::min(stepFrames(steps[line]), kJoinListenFrames);
  // Past the line that stopped the plan nothing is known: neither its
  // frames, nor (with smoothing) whether the sound jumps where the planned
  // lines end, which decides the fade before it.
  if (stopped) {
    const bool known = plan.smoothJoins ? jumpAtOrAfter(steps, std::min(to, total)) < total : to <= total;
    if (!known) return list->stopped;
  }
  plan.firstFrame = from;
  plan.frames = std::min(to, total) - from;
  return std::move(plan);
}

}  // namespace pelisto
