#include "wave/write_plan.h"

#include <algorithm>
#include <map>
#include <set>

#include "app/messages.h"
#include "wave/wav_bytes.h"

namespace pelisto {
namespace {

std::string lineLabel(int line) { return std::to_string(line + 1) + "行目"; }

// What the checks need to know of a source file.
struct SourceProbe {
  Status status;        // kNotFound or kIoError when it cannot be used
  uint64_t length = 0;  // bytes
};

SourceProbe probeSource(FileSystem& fs, const std::string& path) {
  SourceProbe probe;
  if (!fs.isFile(path)) {
    probe.status = Status::error(StatusCode::kNotFound, path + ": no such file");
    return probe;
  }
  auto file = fs.open(path, OpenMode::kRead);
  if (!file) {
    probe.status = file.status();
    return probe;
  }
  auto length = file.value()->size();
  if (!length) {
    probe.status = length.status();
    return probe;
  }
  probe.length = length.value();
  // A file that opens may still refuse to be read.
  uint8_t head[kHeaderSize];
  auto got = file.value()->read(0, head, sizeof head);
  if (!got) probe.status = got.status();
  return probe;
}

Status lineProblem(int line, const std::string& what, const std::string& path) {
  return Status::error(StatusCode::kInvalid, lineLabel(line) + what + (path.empty() ? "" : "\n" + path));
}

}  // namespace

uint64_t voicelessBlocks(uint64_t rangeBytes) {
  return rangeBytes / kVoicelessBlock + (rangeBytes % kVoicelessBlock >= kVoicelessBlock / 2 ? 1 : 0);
}

std::string withWavExtension(const std::string& path) {
  if (path.size() >= 4) {
    std::string tail = path.substr(path.size() - 4);
    for (char& c : tail) {
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    if (tail == ".WAV") return path;
  }
  return path + ".WAV";
}

Result<WritePlan> planWaveFile(AppContext& ctx) {
  AppState& s = ctx.state;
  if (!waveFileOpen(ctx)) return Status::error(StatusCode::kInvalid, kMsgNoWaveFile);

  WritePlan plan;
  File* wave = ctx.files.file(s.WAVEFNUM);
  auto got = wave->read(0, plan.header.data(), plan.header.size());
  if (!got || got.value() != plan.header.size()) {
    return Status::error(StatusCode::kIoError,
                         "開いているwaveファイルを読み込めません\n" + s.WAVEFILENAME);
  }

  std::map<std::string, SourceProbe> probes;
  const int lines = std::min<int>(ctx.ui.lineCount(), static_cast<int>(s.EDITDATA.size()));
  for (int i = 0; i < lines; ++i) {
    const std::string& source = s.EDITFILE[i][0];
    const EditDataRow& row = s.EDITDATA[i];
    const int64_t start = row[0], end = row[1];
    WriteStep step;
    step.line = i;
    step.source = source;
    step.repeats = row[4] < 1 ? 1 : static_cast<uint64_t>(row[4]);

    if (source.empty()) {
      if (end < 0) return lineProblem(i, "の空白の長さが負の値です", "");
      step.kind = WriteStep::Kind::kBlank;
      step.bytes = static_cast<uint64_t>(end) * kFrameSize;
      step.repeats = 1;
      plan.steps.push_back(step);
      continue;
    }

    if (end < start) {
      const bool pending = i >= s.EDITCOUNT;
      return lineProblem(i, pending ? "は終了位置が決まっていません" : "の終了位置が開始位置より前です",
                         source);
    }
    auto it = probes.find(source);
    if (it == probes.end()) it = probes.emplace(source, probeSource(ctx.fs, source)).first;
    const SourceProbe& probe = it->second;
    if (probe.status.code() == StatusCode::kNotFound) {
      return lineProblem(i, "のwaveファイルが見つかりません", source);
    }
    if (!probe.status) {
      return lineProblem(i, "のwaveファイルを読み込めません", source + "\n" + probe.status.message());
    }
    if (start < 0 || kHeaderSize + static_cast<uint64_t>(end) * kFrameSize > probe.length) {
      return lineProblem(i, "の範囲がwaveファイルの長さを超えています", source);
    }

    step.offset = kHeaderSize + static_cast<uint64_t>(start) * kFrameSize;
    step.rangeBytes = static_cast<uint64_t>(end - start) * kFrameSize;
    switch (row[5]) {
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
    plan.steps.push_back(step);
  }

  // The output's length, refused before it could pass the 32-bit size fields.
  for (const WriteStep& step : plan.steps) {
    if (step.bytes == 0) continue;
    const uint64_t room = kMaxWaveFileBytes - plan.fileBytes;
    if (step.repeats > room / step.bytes) {
      return Status::error(StatusCode::kLimit,
                           "作成するファイルの大きさが4GBを超えるため作成できません");
    }
    plan.fileBytes += step.bytes * step.repeats;
  }
  putLe32(&plan.header[4], static_cast<uint32_t>(plan.fileBytes - 8));
  putLe32(&plan.header[40], static_cast<uint32_t>(plan.fileBytes - kHeaderSize));
  return plan;
}

Status checkOutputPath(AppContext& ctx, const WritePlan& plan, const std::string& path) {
  auto refused = [&](const std::string& what) {
    return Status::error(StatusCode::kInvalid, what + "\n" + path);
  };
  if (ctx.fs.isDirectory(path)) return refused("同じ名前のフォルダがあるため作成できません");
  const std::string& open = ctx.state.WAVEFILENAME;
  if (path == open || ctx.fs.sameFile(path, open)) {
    return refused("開いているwaveファイルには書き込めません。別の名前を指定してください");
  }
  std::set<std::string> checked;
  for (const WriteStep& step : plan.steps) {
    if (step.source.empty() || !checked.insert(step.source).second) continue;
    if (path == step.source || ctx.fs.sameFile(path, step.source)) {
      return refused(lineLabel(step.line) +
                     "のwaveファイルには書き込めません。別の名前を指定してください");
    }
  }
  return Status::ok();
}

}  // namespace pelisto
