#include "shell/write_list.h"

#include <memory>
#include <optional>

#include "model/save_target.h"
#include "shell/version.h"
#include "wave/loudness.h"
#include "wave/loudness_ahead.h"
#include "wave/output_file.h"

namespace pelisto {
namespace {

std::string writeFailure(const Status& st, const std::string& path) {
  switch (st.code()) {
    case StatusCode::kCancelled:
      return "Waveファイルの作成を中止しました";
    case StatusCode::kNoSpace:
      return "ディスクの空き容量が足りないため、Waveファイルを作成できませんでした\n" + path;
    default:
      return "Waveファイルを作成できませんでした\n" + path + "\n" + st.message();
  }
}

WriteOutcome failed(std::string text) { return WriteOutcome{false, std::move(text)}; }

}  // namespace

WriteOutcome writeListTo(AppContext& ctx, const WritePlan& plan, const WriteRequest& request) {
  const std::string& path = request.path;
  if (Status st = checkSaveTarget(ctx, path); !st) return failed(st.message());
  if (Status st = checkOutputLength(request.type, plan.frames); !st) return failed(st.message());

  const bool even = request.loudness != LoudnessTarget::kOff;
  const double target = loudnessTargetInfo(request.loudness).lufs;
  // The list measured behind the window while it stood still needs no
  // first pass.
  std::optional<LoudnessMeasurement> ahead = even ? measuredAhead(ctx, plan) : std::nullopt;
  const bool twoPasses = even && !ahead;
  const uint64_t total = twoPasses ? 2 * plan.frames : plan.frames;
  std::unique_ptr<BusyScope> busy = ctx.ui.beginBusy(kWriteTitle, true);
  OutputSpec spec{request.type, 1.0, std::string("Pelisto ") + kVersion};
  LoudnessGain gain;
  if (twoPasses) {
    // A pass behind the window over these frames is finished here; any
    // other would only measure the same frames again.
    std::shared_ptr<SteppedLoudnessPass> begun = takeRunningPass(ctx, plan);
    endLoudnessAhead(ctx);
    const PassProgress first{busy.get(), 0, total};
    Result<LoudnessMeasurement> measured =
        begun ? begun->finish(first) : measureLoudness(ctx.fs, ctx.sound, plan, first);
    if (!measured) return failed(writeFailure(measured.status(), path));
    rememberLoudness(ctx, plan, measured.value());
    ahead = measured.value();
  }
  if (even) {
    gain = gainFor(target, *ahead);
    spec.gain = gain.factor();
  }
  const uint64_t before = twoPasses ? plan.frames : 0;
  Status written = writeOutputFile(ctx.fs, ctx.sound, plan, path, spec, {busy.get(), before, total});
  if (!written) return failed(writeFailure(written, path));
  return WriteOutcome{true, even ? loudnessReport(target, gain) : std::string()};
}

}  // namespace pelisto
