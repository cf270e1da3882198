#include "wave/frame_writer.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/coding.h"
#include "wave/join_fades.h"
#include "wave/voiceless.h"

namespace pelisto {
namespace {

// Voiceless input is read in whole blocks, about one chunk at a time.
constexpr size_t kVoicelessChunk = (kWriteChunk / kVoicelessBlock) * kVoicelessBlock;

// The output side: fills one chunk-sized buffer and hands it to the sink
// whole.
class ChunkedOutput {
 public:
  ChunkedOutput(OutputSink& sink, PassProgress progress)
      : m_sink(sink), m_progress(progress), m_buffer(kWriteChunk) {}

  // Free room at the end of the buffer, handing it on first when full.
  Result<std::pair<uint8_t*, size_t>> room() {
    if (m_used == m_buffer.size()) {
      Status st = flush();
      if (!st) return st;
    }
    return std::make_pair(m_buffer.data() + m_used, m_buffer.size() - m_used);
  }
  // The n bytes after the used ones are filled; the fades (when set) have
  // their say on them first.
  void commit(size_t n) {
    if (m_fades) m_fades->apply(m_buffer.data() + m_used, n);
    m_used += n;
  }
  void setFades(JoinFades* fades) { m_fades = fades; }

  Status appendZeros(uint64_t n) {
    while (n > 0) {
      auto r = room();
      if (!r) return r.status();
      size_t part = static_cast<size_t>(std::min<uint64_t>(n, r->second));
      std::memset(r->first, 0, part);
      commit(part);
      n -= part;
    }
    return Status::ok();
  }

  Status flush() {
    if (m_used > 0) {
      const size_t frames = m_used / kFrameSize;
      Status st = m_sink.write(m_buffer.data(), frames);
      if (!st) return st;
      m_frames += frames;
      m_used = 0;
    }
    if (m_progress.busy && !m_progress.busy->update(m_progress.before + m_frames, m_progress.total)) {
      return Status::error(StatusCode::kCancelled, kMsgCancelled);
    }
    return Status::ok();
  }

  uint64_t frames() const { return m_frames; }

 private:
  OutputSink& m_sink;
  PassProgress m_progress;
  JoinFades* m_fades = nullptr;
  std::vector<uint8_t> m_buffer;
  size_t m_used = 0;
  uint64_t m_frames = 0;  // handed to the sink
};

Status shortSource(const WriteStep& step) {
  return Status::error(StatusCode::kIoError, step.source + "\nwaveファイルが範囲の途中で終わっています");
}

// The bytes [skip, skip + take) of one repetition of a step.
struct Part {
  uint64_t skip = 0;
  uint64_t take = 0;
};

// Part of one repetition of a plain range: read straight into the output
// buffer.
Status copyRange(File& source, const WriteStep& step, Part part, ChunkedOutput& out) {
  uint64_t pos = step.offset + part.skip;
  uint64_t remaining = part.take;
  while (remaining > 0) {
    auto r = out.room();
    if (!r) return r.status();
    size_t want = static_cast<size_t>(std::min<uint64_t>(remaining, r->second));
    auto got = source.read(pos, r->first, want);
    if (!got) return got.status();
    if (got.value() != want) return shortSource(step);
    out.commit(want);
    pos += want;
    remaining -= want;
  }
  return Status::ok();
}

// Part of one repetition of a voiceless range: whole blocks from the range
// start; the last block may pass the range's end, and bytes past the end
// of the source's sound (a chunk after it, or the end of the file) read as
// zeros. The transform takes each frame alone: any part can be written.
Status voicelessRange(File& source, const WriteStep& step, Part part, std::vector<uint8_t>& in,
                      ChunkedOutput& out) {
  uint64_t pos = step.offset + part.skip;
  uint64_t remaining = part.take;
  // Bytes still to come that must exist.
  uint64_t inRange = step.rangeBytes - std::min(step.rangeBytes, part.skip);
  while (remaining > 0) {
    size_t want = static_cast<size_t>(std::min<uint64_t>(remaining, in.size()));
    size_t sound = pos < step.dataEnd ? static_cast<size_t>(std::min<uint64_t>(want, step.dataEnd - pos)) : 0;
    auto got = source.read(pos, in.data(), sound);
    if (!got) return got.status();
    if (got.value() < std::min<uint64_t>(want, inRange)) return shortSource(step);
    std::memset(in.data() + got.value(), 0, want - got.value());
    for (size_t done = 0; done < want;) {
      auto r = out.room();
      if (!r) return r.status();
      size_t n = std::min(want - done, r->second);
      voicelessTransform(in.data() + done, r->first, n);
      out.commit(n);
      done += n;
    }
    pos += want;
    remaining -= want;
    inRange -= std::min<uint64_t>(inRange, want);
  }
  return Status::ok();
}

// Opens the source of step unless it is the one open.
Status useSource(FileSystem& fs, const WriteStep& step, std::unique_ptr<File>& source,
                 std::string& sourcePath) {
  if (source && sourcePath == step.source) return Status::ok();
  source.reset();
  auto opened = fs.open(step.source, OpenMode::kRead);
  if (!opened) return opened.status();
  source = std::move(opened.value());
  sourcePath = step.source;
  return Status::ok();
}

// Writes the frames [from, to) of the joined sound, in output order.
class StepWriter {
 public:
  StepWriter(FileSystem& fs, ChunkedOutput& out, uint64_t from, uint64_t to)
      : m_fs(fs), m_out(out), m_from(from), m_to(to) {}

  // The repeats of step that fall in the frames, in part or whole.
  Status write(const WriteStep& step) {
    const uint64_t piece = step.kind == WriteStep::Kind::kNothing ? 0 : step.bytes / kFrameSize;
    if (piece == 0) return Status::ok();
    const uint64_t end = m_at + piece * step.repeats;
    // Whole repeats before the first frame are passed over at once.
    uint64_t k = m_at < m_from ? (std::min(end, m_from) - m_at) / piece : 0;
    m_at += k * piece;
    for (; k < step.repeats && m_at < m_to; ++k, m_at += piece) {
      const uint64_t skip = m_at < m_from ? m_from - m_at : 0;
      const uint64_t take = std::min(m_at + piece, m_to) - m_at - skip;
      if (take == 0) continue;
      if (Status st = writePart(step, Part{skip * kFrameSize, take * kFrameSize}); !st) return st;
    }
    m_at = end;
    return Status::ok();
  }

 private:
  Status writePart(const WriteStep& step, Part part) {
    if (step.kind == WriteStep::Kind::kBlank) return m_out.appendZeros(part.take);
    if (Status st = useSource(m_fs, step, m_source, m_sourcePath); !st) return st;
    if (step.kind == WriteStep::Kind::kCopy) return copyRange(*m_source, step, part, m_out);
    if (m_voicelessInput.empty()) m_voicelessInput.resize(kVoicelessChunk);
    return voicelessRange(*m_source, step, part, m_voicelessInput, m_out);
  }

  FileSystem& m_fs;
  ChunkedOutput& m_out;
  const uint64_t m_from, m_to;
  uint64_t m_at = 0;  // the frame of the joined sound the next step starts at
  std::unique_ptr<File> m_source;
  std::string m_sourcePath;
  std::vector<uint8_t> m_voicelessInput;
};

Status writeSteps(FileSystem& fs, const WritePlan& plan, ChunkedOutput& out) {
  std::optional<JoinFades> fades;
  if (plan.smoothJoins) out.setFades(&fades.emplace(plan.steps, plan.firstFrame));
  StepWriter writer(fs, out, plan.firstFrame, plan.firstFrame + plan.frames);
  for (const WriteStep& step : plan.steps) {
    Status st = writer.write(step);
    if (!st) return st;
  }
  return out.flush();
}

}  // namespace

Status writeFrames(FileSystem& fs, const WritePlan& plan, OutputSink& sink, PassProgress progress) {
  if (Status st = sink.begin(plan.frames); !st) return st;
  ChunkedOutput out(sink, progress);
  if (Status st = writeSteps(fs, plan, out); !st) return st;
  if (out.frames() != plan.frames) return Status::error(StatusCode::kIoError, "書き込んだ長さが予定と違います");
  return sink.finish();
}

}  // namespace pelisto
