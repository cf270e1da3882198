#include "wave/write_plan.h"

#include <algorithm>
#include <map>

#include "model/messages.h"
#include "model/edit_list.h"
#include "platform/text.h"
#include "wave/wave_header.h"

namespace pelisto {
namespace {

std::string lineLabel(int line) { return std::to_string(line + 1) + "行目"; }

// What the checks need to know of a source file: why it cannot be used, or
// how many bytes of sound it holds.
struct SourceProbe {
  Status status;          // kNotFound, kIoError (with the reason) or kInvalid (a header check)
  uint64_t dataBytes = 0;
};

// The source is opened and checked exactly as a file opened in the view.
SourceProbe probeSource(FileSystem& fs, const std::string& path) {
  SourceProbe probe;
  auto file = fs.open(path, OpenMode::kRead);
  if (!file) {
    probe.status = file.status();
    return probe;
  }
  WaveHeaderCheck check = checkWaveHeader(*file.value());
  probe.status = check.status;
  probe.dataBytes = check.dataSize;
  return probe;
}

Status lineProblem(int line, const std::string& what, const std::string& path) {
  return Status::error(StatusCode::kInvalid, lineLabel(line) + what + (path.empty() ? "" : "\n" + path));
}

// Why line cannot use its source, after the probe of the source: not
// there, a failed header check, or a failed read.
Status sourceProblem(int line, const SourceProbe& probe, const std::string& source) {
  switch (probe.status.code()) {
    case StatusCode::kOk: return Status::ok();
    case StatusCode::kNotFound: return lineProblem(line, "のwaveファイルが見つかりません", source);
    case StatusCode::kInvalid:
      return lineProblem(line, "のwaveファイル：" + probe.status.message(), source);
    default:
      return lineProblem(line, "のwaveファイルを読み込めません", source + "\n" + probe.status.message());
  }
}

// A blank: `end` frames of silence, written once whatever its loop count.
Result<WriteStep> blankStep(WriteStep step, int64_t end) {
  if (end < 0) return lineProblem(step.line, "の空白の長さが負の値です", "");
  step.kind = WriteStep::Kind::kBlank;
  step.bytes = static_cast<uint64_t>(end) * kFrameSize;
  step.repeats = 1;
  return step;
}

// How a range is written, by the voiceless flag of its row.
void setRangeKind(WriteStep& step, int32_t voiceless) {
  switch (voiceless) {
    case 0:
      step.kind = WriteStep::Kind::kCopy;
      step.bytes = step.rangeBytes;
      break;
    case 1:
      step.kind = WriteStep::Kind::kVoiceless;
      step.bytes = voicelessBlocks(step.rangeBytes) * kVoicelessBlock;
      break;
    default:
      step.kind = WriteStep::Kind::kNothing;
      step.bytes = 0;
      break;
  }
}

using SourceProbes = std::map<std::string, SourceProbe>;  // by path, each source probed once

// What line i of the list contributes to the output, or why it cannot be
// written.
Result<WriteStep> lineStep(AppContext& ctx, int i, SourceProbes& probes) {
  const AppState& s = ctx.state;
  const std::string& source = s.EDITFILE[i][kSourcePath];
  const EditDataRow& row = s.EDITDATA[i];
  const int64_t start = row[kStartFrame], end = row[kEndFrame];
  // The entry being marked has no end yet, whatever its numbers say.
  if (ctx.list.isPending(i)) return lineProblem(i, "は終了位置が決まっていません", source);
  WriteStep step;
  step.line = i;
  step.source = source;
  step.repeats = row[kLoopCount] < 1 ? 1 : static_cast<uint64_t>(row[kLoopCount]);
  if (source.empty()) return blankStep(step, end);

  if (end < start) return lineProblem(i, "の終了位置が開始位置より前です", source);
  auto it = probes.find(source);
  if (it == probes.end()) it = probes.emplace(source, probeSource(ctx.fs, source)).first;
  const SourceProbe& probe = it->second;
  if (Status st = sourceProblem(i, probe, source); !st) return st;
  // Ranges lie within the sound: the bytes of a chunk after it are not.
  if (start < 0 || static_cast<uint64_t>(end) * kFrameSize > probe.dataBytes) {
    return lineProblem(i, "の範囲がwaveファイルの長さを超えています", source);
  }
  step.offset = kHeaderSize + static_cast<uint64_t>(start) * kFrameSize;
  step.dataEnd = kHeaderSize + probe.dataBytes;
  step.rangeBytes = static_cast<uint64_t>(end - start) * kFrameSize;
  setRangeKind(step, row[kVoiceless]);
  return step;
}

// The frames of the joined sound, refused past kMaxPlanFrames.
Result<uint64_t> totalFrames(const std::vector<WriteStep>& steps) {
  uint64_t frames = 0;
  for (const WriteStep& step : steps) {
    const uint64_t piece = step.kind == WriteStep::Kind::kNothing ? 0 : step.bytes / kFrameSize;
    if (piece == 0) continue;
    if (step.repeats > (kMaxPlanFrames - frames) / piece) {
      return Status::error(StatusCode::kLimit, kMsgPlanTooLong);
    }
    frames += piece * step.repeats;
  }
  return frames;
}

}  // namespace

uint64_t voicelessBlocks(uint64_t rangeBytes) {
  return rangeBytes / kVoicelessBlock + (rangeBytes % kVoicelessBlock >= kVoicelessBlock / 2 ? 1 : 0);
}

std::string withWavExtension(const std::string& path) {
  return endsWithIgnoringCase(path, ".wav") ? path : path + ".WAV";
}

uint64_t stepFrames(const WriteStep& step) {
  if (step.kind == WriteStep::Kind::kNothing) return 0;
  return step.bytes / kFrameSize * step.repeats;
}

Result<ListPlan> planListLines(AppContext& ctx) {
  AppState& s = ctx.state;
  if (!waveFileOpen(ctx)) return Status::error(StatusCode::kInvalid, kMsgNoWaveFile);

  ListPlan list;
  WritePlan& plan = list.plan;
  plan.smoothJoins = s.smoothJoins;
  File* wave = ctx.files.file(s.WAVEFNUM);
  auto got = wave->read(0, plan.waveHeader.data(), plan.waveHeader.size());
  if (!got || got.value() != plan.waveHeader.size()) {
    return Status::error(StatusCode::kIoError,
                         "開いているwaveファイルを読み込めません\n" + s.WAVEFILENAME);
  }

  SourceProbes probes;
  const int lines = std::min<int>(ctx.list.lineCount(), static_cast<int>(s.EDITDATA.size()));
  for (int i = 0; i < lines; ++i) {
    Result<WriteStep> step = lineStep(ctx, i, probes);
    if (!step) {
      list.stopped = step.status();
      list.stoppedAt = i;
      break;
    }
    plan.steps.push_back(std::move(step.value()));
  }
  return list;
}

Result<WritePlan> planWaveFile(AppContext& ctx) {
  Result<ListPlan> list = planListLines(ctx);
  if (!list) return list.status();
  if (!list->stopped) return list->stopped;
  WritePlan& plan = list->plan;
  Result<uint64_t> frames = totalFrames(plan.steps);
  if (!frames) return frames.status();
  plan.frames = frames.value();
  return std::move(plan);
}

}  // namespace pelisto
