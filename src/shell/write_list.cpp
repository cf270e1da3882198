#include "shell/write_list.h"

#include <memory>

#include "model/save_target.h"
#include "shell/version.h"
#include "wave/loudness.h"
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
  const uint64_t total = even ? 2 * plan.frames : plan.frames;
  std::unique_ptr<BusyScope> busy = ctx.ui.beginBusy(kWriteTitle, true);
  OutputSpec spec{request.type, 1.0, std::string("Pelisto ") + kVersion};
  LoudnessGain gain;
  if (even) {
    Result<LoudnessMeasurement> measured = measureLoudness(ctx.fs, ctx.sound, plan, {busy.get(), 0, total});
    if (!measured) return failed(writeFailure(measured.status(), path));
    gain = gainFor(target, measured.value());
    spec.gain = gain.factor();
  }
  const uint64_t before = even ? plan.frames : 0;
  Status written = writeOutputFile(ctx.fs, ctx.sound, plan, path, spec, {busy.get(), before, total});
  if (!written) return failed(writeFailure(written, path));
  return WriteOutcome{true, even ? loudnessReport(target, gain) : std::string()};
}

}  // namespace pelisto
