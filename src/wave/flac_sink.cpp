#include "wave/flac_sink.h"

#include <algorithm>
#include <limits>

#include "platform/coding.h"

namespace pelisto {
namespace {

Status codingFailed() { return Status::error(StatusCode::kIoError, "FLACの符号化に失敗しました"); }

}  // namespace

Result<std::unique_ptr<FlacSink>> FlacSink::make(File& file, NewFlacEncoder newEncoder, size_t helpers,
                                                 uint32_t stretchBlocks) {
  // The encoder writes nothing until it has frames: one of silence.
  BufferFile probe;
  Result<std::unique_ptr<SoundEncoder>> encoder = newEncoder(probe);
  if (!encoder) return encoder.status();
  const int16_t silence[2] = {0, 0};
  if (Status st = encoder.value()->writeShort(silence, 1); !st) return st;
  if (Status st = encoder.value()->finish(); !st) return st;
  Result<FlacLayout> layout = readFlacLayout(probe.bytes().data(), probe.bytes().size());
  if (!layout) return layout.status();
  const FlacStreamInfo& info = layout.value().info;
  if (layout.value().frames.size() != 1 || info.minBlock != info.maxBlock || info.minBlock == 0 || info.channels != 2 ||
      info.bits != 16) {
    return Status::error(StatusCode::kUnsupported, "FLACの符号を分けて作れません");
  }
  std::vector<uint8_t> metadata(probe.bytes().begin(), probe.bytes().begin() + layout.value().framesAt);
  return std::unique_ptr<FlacSink>(
      new FlacSink(file, std::move(newEncoder), std::move(metadata), info, std::max<size_t>(helpers, 1), stretchBlocks));
}

FlacSink::FlacSink(File& file, NewFlacEncoder newEncoder, std::vector<uint8_t> metadata, FlacStreamInfo info,
                   size_t helpers, uint32_t stretchBlocks)
    : m_file(file),
      m_newEncoder(std::move(newEncoder)),
      m_metadata(std::move(metadata)),
      m_info(info),
      m_block(info.maxBlock),
      m_stretchFrames(size_t{info.maxBlock} * stretchBlocks),
      m_stretchBlocks(stretchBlocks),
      m_stretches(2 * helpers),
      m_taken(helpers) {
  // Each helper codes the stretches of its turn, in order: helper h those
  // numbered h, h + helpers, h + 2 × helpers, …
  for (size_t h = 0; h < helpers; ++h) {
    m_helpers.push_back(std::make_unique<HelperThread>([this, h, helpers] {
      code(m_stretches[(h + helpers * m_taken[h]++) % m_stretches.size()]);
    }));
  }
}

Status FlacSink::begin(uint64_t) {
  m_at = m_metadata.size();
  return m_file.write(0, m_metadata.data(), m_metadata.size());
}

Status FlacSink::write(const uint8_t* frames, size_t n) {
  m_md5.add(frames, 4 * n);
  m_frames += n;
  while (n > 0) {
    Stretch& stretch = m_stretches[m_handed % m_stretches.size()];
    // A stretch to fill: the one before it in this place is written first.
    while (m_written + m_stretches.size() <= m_handed) {
      if (Status st = writeOut(m_written); !st) return st;
    }
    const size_t held = stretch.samples.size() / 2;
    const size_t part = std::min(n, m_stretchFrames - held);
    stretch.samples.resize(2 * (held + part));
    getLe16Samples(frames, 2 * part, stretch.samples.data() + 2 * held);
    frames += 4 * part;
    n -= part;
    if (held + part == m_stretchFrames) {
      if (Status st = hand(); !st) return st;
    }
  }
  return Status::ok();
}

Status FlacSink::finish() {
  if (!m_stretches[m_handed % m_stretches.size()].samples.empty()) {
    if (Status st = hand(); !st) return st;
  }
  while (m_written < m_handed) {
    if (Status st = writeOut(m_written); !st) return st;
  }
  FlacStreamInfo info = m_info;
  info.samples = m_frames < (uint64_t{1} << 36) ? m_frames : 0;  // past 36 bits: unknown
  info.md5 = m_md5.finish();
  const std::array<uint8_t, kStreamInfoBytes> bytes = streamInfoBytes(info);
  return m_file.write(kStreamInfoAt, bytes.data(), bytes.size());
}

Status FlacSink::hand() {
  Stretch& stretch = m_stretches[m_handed % m_stretches.size()];
  Result<std::unique_ptr<SoundEncoder>> encoder = m_newEncoder(stretch.coded);
  if (!encoder) return encoder.status();
  stretch.encoder = std::move(encoder.value());
  stretch.firstFrame = uint64_t{m_handed} * m_stretchBlocks;
  m_helpers[m_handed % m_helpers.size()]->start();
  ++m_handed;
  return Status::ok();
}

Status FlacSink::writeOut(size_t index) {
  // The helper's runs after this stretch's may still be queued.
  const size_t helpers = m_helpers.size();
  m_helpers[index % helpers]->wait((m_handed - 1 - index) / helpers);
  Stretch& stretch = m_stretches[index % m_stretches.size()];
  if (!stretch.status) return stretch.status;
  if (Status st = m_file.write(m_at, stretch.frames.data(), stretch.frames.size()); !st) return st;
  m_at += stretch.frames.size();
  m_pacer.wrote(m_file, m_at);
  if (m_written == 0 || stretch.minFrameBytes < m_info.minFrameBytes) m_info.minFrameBytes = stretch.minFrameBytes;
  m_info.maxFrameBytes = std::max(m_info.maxFrameBytes, stretch.maxFrameBytes);
  stretch.samples.clear();
  stretch.frames.clear();
  stretch.coded.bytes().clear();
  ++m_written;
  return Status::ok();
}

void FlacSink::code(Stretch& stretch) {
  std::unique_ptr<SoundEncoder> encoder = std::move(stretch.encoder);
  stretch.status = encoder->writeShort(stretch.samples.data(), stretch.samples.size() / 2);
  if (stretch.status) stretch.status = encoder->finish();
  encoder.reset();
  if (!stretch.status) return;
  const std::vector<uint8_t>& coded = stretch.coded.bytes();
  Result<FlacLayout> layout = readFlacLayout(coded.data(), coded.size());
  // A stretch is a whole number of blocks (the file's last excepted), each
  // coded as a frame of its own: all but its last frame hold a whole block.
  const size_t frames = (stretch.samples.size() / 2 + m_block - 1) / m_block;
  if (!layout || layout.value().frames.size() != frames) {
    stretch.status = codingFailed();
    return;
  }
  stretch.frames.reserve(coded.size() - layout.value().framesAt + 4 * frames);
  stretch.minFrameBytes = std::numeric_limits<uint32_t>::max(), stretch.maxFrameBytes = 0;
  uint64_t number = stretch.firstFrame;
  for (const FlacFrame& frame : layout.value().frames) {
    if (frame.block != m_block && &frame != &layout.value().frames.back()) {
      stretch.status = codingFailed();
      return;
    }
    const size_t before = stretch.frames.size();
    appendRenumbered(coded.data() + frame.at, frame.size, number++, stretch.frames);
    const uint32_t bytes = static_cast<uint32_t>(stretch.frames.size() - before);
    stretch.minFrameBytes = std::min(stretch.minFrameBytes, bytes);
    stretch.maxFrameBytes = std::max(stretch.maxFrameBytes, bytes);
  }
}

}  // namespace pelisto
