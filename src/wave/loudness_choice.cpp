// The option of bringing written files to an even loudness: three
// exclusive choices, remembered between runs.
#include "wave/handlers.h"
#include "wave/loudness.h"

namespace pelisto {

void chooseLoudness(AppContext& ctx, LoudnessTarget target) {
  ctx.state.loudness = target;
  for (LoudnessTarget t : {LoudnessTarget::kOff, LoudnessTarget::kPodcast, LoudnessTarget::kBroadcast}) {
    ctx.ui.setChecked(loudnessTargetInfo(t).item, t == target);
  }
}

namespace {

void chosen(AppContext& ctx, LoudnessTarget target) {
  chooseLoudness(ctx, target);
  ctx.ui.rememberName(kLoudnessChoice, loudnessTargetInfo(target).key);
}

}  // namespace

void LOUDNESSOFF_ON(AppContext& ctx) { chosen(ctx, LoudnessTarget::kOff); }
void LOUDNESS16_ON(AppContext& ctx) { chosen(ctx, LoudnessTarget::kPodcast); }
void LOUDNESS23_ON(AppContext& ctx) { chosen(ctx, LoudnessTarget::kBroadcast); }

}  // namespace pelisto
