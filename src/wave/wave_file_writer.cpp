#include "wave/wave_file_writer.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/replace_file.h"
#include "wave/voiceless.h"

namespace pelisto {
namespace {

// Voiceless input is read in whole blocks, about one chunk at a time.
constexpr size_t kVoicelessChunk = (kWriteChunk / kVoicelessBlock) * kVoicelessBlock;

// The output side: fills one chunk-sized buffer and writes it whole.
class ChunkedOutput {
 public:
  ChunkedOutput(File& file, uint64_t total, BusyScope* busy)
      : m_file(file), m_total(total), m_busy(busy), m_buffer(kWriteChunk) {}

  // Free room at the end of the buffer, flushing it first when full.
  Result<std::pair<uint8_t*, size_t>> room() {
    if (m_used == m_buffer.size()) {
      Status st = flush();
      if (!st) return st;
    }
    return std::make_pair(m_buffer.data() + m_used, m_buffer.size() - m_used);
  }
  void commit(size_t n) { m_used += n; }

  Status append(const uint8_t* src, size_t n) {
    while (n > 0) {
      auto r = room();
      if (!r) return r.status();
      size_t part = std::min(n, r->second);
      std::memcpy(r->first, src, part);
      commit(part);
      src += part;
      n -= part;
    }
    return Status::ok();
  }

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
      Status st = m_file.write(m_written, m_buffer.data(), m_used);
      if (!st) return st;
      // The device writes this chunk while the next is filled, so the sync
      // at the end has little left to wait for.
      m_file.startWriteback(m_written, m_used);
      m_written += m_used;
      m_used = 0;
    }
    if (m_busy && !m_busy->update(m_written, m_total)) {
      return Status::error(StatusCode::kCancelled, "中止しました");
    }
    return Status::ok();
  }

  uint64_t written() const { return m_written; }

 private:
  File& m_file;
  uint64_t m_total;
  BusyScope* m_busy;
  std::vector<uint8_t> m_buffer;
  size_t m_used = 0;
  uint64_t m_written = 0;
};

Status shortSource(const WriteStep& step) {
  return Status::error(StatusCode::kIoError, step.source + "\nwaveファイルが範囲の途中で終わっています");
}

// One repetition of a plain range: read straight into the output buffer.
Status copyRange(File& source, const WriteStep& step, ChunkedOutput& out) {
  uint64_t pos = step.offset;
  uint64_t remaining = step.bytes;
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

// One repetition of a voiceless range: whole blocks from the range start;
// the last block may pass the range's end, and bytes past the end of the
// source's sound (a chunk after it, or the end of the file) read as zeros.
Status voicelessRange(File& source, const WriteStep& step, std::vector<uint8_t>& in,
                      ChunkedOutput& out) {
  uint64_t pos = step.offset;
  uint64_t remaining = step.bytes;
  uint64_t inRange = step.rangeBytes;  // bytes still to come that must exist
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
      size_t part = std::min(want - done, r->second);
      voicelessTransform(in.data() + done, r->first, part);
      out.commit(part);
      done += part;
    }
    pos += want;
    remaining -= want;
    inRange -= std::min<uint64_t>(inRange, want);
  }
  return Status::ok();
}

Status writeSteps(FileSystem& fs, const WritePlan& plan, ChunkedOutput& out) {
  Status st = out.append(plan.header.data(), plan.header.size());
  if (!st) return st;
  std::vector<uint8_t> voicelessInput;
  std::unique_ptr<File> source;
  std::string sourcePath;
  for (const WriteStep& step : plan.steps) {
    if (step.kind == WriteStep::Kind::kBlank) {
      st = out.appendZeros(step.bytes);
      if (!st) return st;
      continue;
    }
    if (step.kind == WriteStep::Kind::kNothing || step.bytes == 0) continue;
    if (!source || sourcePath != step.source) {
      source.reset();
      auto opened = fs.open(step.source, OpenMode::kRead);
      if (!opened) return opened.status();
      source = std::move(opened.value());
      sourcePath = step.source;
    }
    if (step.kind == WriteStep::Kind::kVoiceless && voicelessInput.empty()) {
      voicelessInput.resize(kVoicelessChunk);
    }
    for (uint64_t k = 0; k < step.repeats; ++k) {
      st = step.kind == WriteStep::Kind::kCopy ? copyRange(*source, step, out)
                                               : voicelessRange(*source, step, voicelessInput, out);
      if (!st) return st;
    }
  }
  return out.flush();
}

}  // namespace

Status writeWaveFile(FileSystem& fs, const WritePlan& plan, const std::string& target,
                     BusyScope* busy) {
  return replaceFile(fs, target, [&](File& file) {
    // The length is known: the room is taken at once (a full device is
    // refused before a byte is written), and the file system lays the file
    // out in one piece instead of growing it chunk by chunk.
    Status st = file.reserve(plan.fileBytes);
    if (!st) return st;
    ChunkedOutput out(file, plan.fileBytes, busy);
    st = writeSteps(fs, plan, out);
    if (st && out.written() != plan.fileBytes) {
      st = Status::error(StatusCode::kIoError, "書き込んだ長さが予定と違います");
    }
    return st;
  });
}

}  // namespace pelisto
