#include "wave/loudness_ahead.h"

#include <map>
#include <memory>
#include <string>
#include <utility>

#include "model/forms.h"

namespace pelisto {

// The sources of a plan as they stood when it was measured: a source
// rewritten since (its size or time changed) makes the measurement stale.
using SourceStamps = std::map<std::string, std::pair<uint64_t, int64_t>>;

struct LoudnessAhead {
  // The list as last seen, and when it was first seen so.
  struct Key {
    uint64_t revision = 0;
    std::string wave;
    bool smoothJoins = false;
    bool operator==(const Key&) const = default;
  };
  std::optional<Key> seen;
  int64_t seenSinceMs = 0;
  bool handled = false;  // measured, being measured, or not measurable as it stands

  // The job measuring now, and the frames it measures.
  JobId job = kNoJob;
  std::shared_ptr<SteppedLoudnessPass> pass;
  WritePlan passPlan;
  SourceStamps passSources;

  // The last measurement finished.
  std::optional<WritePlan> plan;
  SourceStamps sources;
  LoudnessMeasurement measurement;
};

namespace {

LoudnessAhead& ahead(AppContext& ctx) {
  if (!ctx.loudnessAhead) ctx.loudnessAhead = std::make_shared<LoudnessAhead>();
  return *ctx.loudnessAhead;
}

bool sameFrames(const WritePlan& a, const WritePlan& b) {
  return a.steps == b.steps && a.smoothJoins == b.smoothJoins && a.firstFrame == b.firstFrame &&
         a.frames == b.frames;
}

// Each source's size and time now; nothing when one cannot be told.
std::optional<SourceStamps> stampsOf(AppContext& ctx, const WritePlan& plan) {
  SourceStamps stamps;
  for (const WriteStep& step : plan.steps) {
    if (step.source.empty() || stamps.count(step.source)) continue;
    auto info = ctx.fs.info(step.source);
    if (!info) return std::nullopt;
    stamps[step.source] = {info->size, info->modifiedNs};
  }
  return stamps;
}

void stopJob(AppContext& ctx, LoudnessAhead& a) {
  ctx.worker.cancelJob(a.job);
  a.job = kNoJob;
  a.pass = nullptr;
}

void jobFinished(AppContext& ctx, const std::shared_ptr<SteppedLoudnessPass>& pass) {
  LoudnessAhead& a = ahead(ctx);
  if (a.pass != pass) return;
  if (pass->status()) {
    a.plan = std::move(a.passPlan);
    a.sources = std::move(a.passSources);
    a.measurement = pass->measurement();
  }
  a.job = kNoJob;
  a.pass = nullptr;
}

void startJob(AppContext& ctx, LoudnessAhead& a, WritePlan plan, SourceStamps sources) {
  auto started = SteppedLoudnessPass::start(ctx.fs, ctx.sound, plan);
  if (!started) return;
  std::shared_ptr<SteppedLoudnessPass> pass = std::move(started.value());
  a.pass = pass;
  a.passPlan = std::move(plan);
  a.passSources = std::move(sources);
  const JobId job = ctx.worker.start([pass] { return pass->step(); }, [] {},
                                     [&ctx, pass] { jobFinished(ctx, pass); });
  // A worker may have run the whole job inside start.
  if (ctx.worker.runs(job)) a.job = job;
}

}  // namespace

int64_t keepLoudnessMeasured(AppContext& ctx, int64_t nowMs) {
  // Nothing to measure without a target, and nobody to wait for a write
  // without a window (a list written from the command line).
  if (ctx.state.loudness == LoudnessTarget::kOff || !ctx.ui.isVisible(Control::MAINFORM) || !waveFileOpen(ctx)) {
    endLoudnessAhead(ctx);
    return -1;
  }
  LoudnessAhead& a = ahead(ctx);
  const LoudnessAhead::Key key{ctx.state.listRevision, ctx.state.WAVEFILENAME, ctx.state.smoothJoins};
  if (a.seen != key) {
    stopJob(ctx, a);
    a.seen = key;
    a.seenSinceMs = nowMs;
    a.handled = false;
  }
  if (a.handled) return -1;
  const int64_t wait = a.seenSinceMs + kLoudnessAheadDelayMs - nowMs;
  if (wait > 0) return wait;
  a.handled = true;
  // A list that cannot be written as it stands is not measured; its
  // write says why.
  Result<WritePlan> plan = planWaveFile(ctx);
  if (!plan || plan->frames == 0) return -1;
  if (measuredAhead(ctx, plan.value())) return -1;
  std::optional<SourceStamps> sources = stampsOf(ctx, plan.value());
  if (!sources) return -1;
  startJob(ctx, a, std::move(plan.value()), std::move(*sources));
  return -1;
}

std::optional<LoudnessMeasurement> measuredAhead(AppContext& ctx, const WritePlan& plan) {
  if (!ctx.loudnessAhead || !ctx.loudnessAhead->plan) return std::nullopt;
  const LoudnessAhead& a = *ctx.loudnessAhead;
  if (!sameFrames(*a.plan, plan) || stampsOf(ctx, plan) != a.sources) return std::nullopt;
  return a.measurement;
}

std::shared_ptr<SteppedLoudnessPass> takeRunningPass(AppContext& ctx, const WritePlan& plan) {
  if (!ctx.loudnessAhead || !ctx.loudnessAhead->pass) return nullptr;
  LoudnessAhead& a = *ctx.loudnessAhead;
  if (!sameFrames(a.passPlan, plan) || stampsOf(ctx, plan) != a.passSources) return nullptr;
  std::shared_ptr<SteppedLoudnessPass> pass = a.pass;
  stopJob(ctx, a);
  // The list as it stands is taken care of: no new job for it.
  a.handled = true;
  return pass;
}

void rememberLoudness(AppContext& ctx, const WritePlan& plan, const LoudnessMeasurement& measurement) {
  std::optional<SourceStamps> sources = stampsOf(ctx, plan);
  if (!sources) return;
  LoudnessAhead& a = ahead(ctx);
  a.plan = plan;
  a.sources = std::move(*sources);
  a.measurement = measurement;
}

bool loudnessBeingMeasured(const AppContext& ctx) {
  return ctx.loudnessAhead && ctx.loudnessAhead->pass != nullptr;
}

void endLoudnessAhead(AppContext& ctx) {
  if (!ctx.loudnessAhead) return;
  stopJob(ctx, *ctx.loudnessAhead);
  ctx.loudnessAhead->seen.reset();
}

}  // namespace pelisto
