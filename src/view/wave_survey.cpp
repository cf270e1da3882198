#include "view/wave_survey.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>

#include "model/app_state.h"
#include "view/frame_stats.h"

namespace pelisto {
namespace {

constexpr uint64_t kBlockFrames = WAVEBLOCK / kFrameSize;  // 441
// One read of 64 blocks (110 KiB, which the processor's cache still holds
// when it is measured), four reads a step: a cancel waits for no more.
constexpr uint64_t kChunkBlocks = 512;
constexpr int kReadsPerStep = 4;

}  // namespace

double Envelope::rms() const { return frames ? std::sqrt(power / static_cast<double>(frames)) : 0; }

WaveSurvey::WaveSurvey(FileSystem& fs, std::string path, uint64_t dataSize, int columns)
    : m_fs(fs),
      m_path(std::move(path)),
      m_frames(dataSize / kFrameSize),
      m_blockCount((m_frames + kBlockFrames - 1) / kBlockFrames),
      m_columns(std::max(columns, 1)) {}

uint64_t WaveSurvey::columnStart(int c) const {
  // The smallest frame whose column is c: ceil(c × frames / columns).
  return (static_cast<uint64_t>(c) * m_frames + m_columns - 1) / m_columns;
}

int WaveSurvey::columnOf(uint64_t f) const {
  if (m_frames == 0) return 0;
  return static_cast<int>(std::min<uint64_t>(f, m_frames - 1) * m_columns / m_frames);
}

int WaveSurvey::columnsDone() const {
  if (m_frames == 0) return 0;
  const uint64_t frames = std::min(m_frames, blocksDone() * kBlockFrames);
  // Column c is complete once the frame after its last is reached:
  // columnStart(c + 1) ≤ frames.
  return static_cast<int>(frames * m_columns / m_frames);
}

Status WaveSurvey::openFiles() {
  auto file = m_fs.open(m_path, OpenMode::kRead);
  if (!file) return file.status();
  m_file = std::move(file.value());
  m_levels.assign(m_blockCount, 0.0f);
  m_envelope.assign(m_columns, Envelope{std::numeric_limits<int16_t>::max(), std::numeric_limits<int16_t>::min(), 0, 0});
  for (auto& chunk : m_chunks) chunk = std::make_unique_for_overwrite<int16_t[]>(kChunkBlocks * kBlockFrames * 2);
  m_column = 0;
  m_columnEnd = columnStart(1);
  auto length = m_file->size();
  const uint64_t held = length && length.value() > uint64_t(kHeaderSize) ? length.value() - kHeaderSize : 0;
  m_realBlocks = std::min(m_blockCount, (held / kFrameSize + kBlockFrames - 1) / kBlockFrames);
  return Status::ok();
}

bool WaveSurvey::step() {
  // On the worker's thread no handler is there to catch: memory running
  // out ends the survey as a failure.
  try {
    const bool more = advance();
    if (!more && !m_status) m_failed.store(true, std::memory_order_release);
    return more;
  } catch (const std::bad_alloc&) {
    m_status = Status::error(StatusCode::kLimit, "メモリが足りません");
    m_failed.store(true, std::memory_order_release);
    return false;
  }
}

void WaveSurvey::measureBlock(uint64_t k, const int16_t* samples, uint64_t frames) {
  const FrameStats whole = measureFrames(samples, frames);
  const double level = std::max(whole.left, whole.right) / static_cast<double>(frames);
  m_levels[k] = static_cast<float>(level);
  // The block's frames in each column they fall into (mostly one: the
  // column and where it ends are carried from block to block).
  const uint64_t first = k * kBlockFrames;
  const uint64_t end = first + frames;
  for (uint64_t f = first; f < end;) {
    while (f >= m_columnEnd) m_columnEnd = columnStart(++m_column + 1);
    const uint64_t to = std::min(end, m_columnEnd);
    int16_t low = whole.low, high = whole.high;
    if (f != first || to != end) frameRange(samples + 2 * (f - first), to - f, low, high);
    Envelope& e = m_envelope[m_column];
    e.low = std::min(e.low, low);
    e.high = std::max(e.high, high);
    e.power += level * static_cast<double>(to - f);
    e.frames += to - f;
    f = to;
  }
}

void WaveSurvey::readChunk() {
  const uint64_t k = m_readBlock;
  int16_t* into = m_chunks[m_readInto].get();
  const uint64_t firstFrame = k * kBlockFrames;
  const uint64_t frames = std::min(std::min(kChunkBlocks, m_blockCount - k) * kBlockFrames, m_frames - firstFrame);
  uint64_t got = 0;
  if (k < m_realBlocks) {
    auto r = m_file->read(kHeaderSize + firstFrame * kFrameSize, reinterpret_cast<uint8_t*>(into),
                          frames * kFrameSize);
    got = r ? r.value() / kFrameSize : 0;
    // A read that fails or comes up short ends the sound here.
    if (got < frames) m_realBlocks = k + got / kBlockFrames;
  }
  std::memset(into + 2 * got, 0, (frames - got) * kFrameSize);
  if constexpr (std::endian::native == std::endian::big) {
    for (uint64_t i = 0; i < 2 * got; ++i) {
      const auto v = static_cast<uint16_t>(into[i]);
      into[i] = static_cast<int16_t>(static_cast<uint16_t>(v >> 8 | v << 8));
    }
  }
}

bool WaveSurvey::advance() {
  if (!m_file) {
    m_status = openFiles();
    if (!m_status || m_blockCount == 0) return false;
    m_reader = std::make_unique<HelperThread>([this] { readChunk(); });
    m_readBlock = 0;
    m_readInto = 0;
    m_reader->start();
    m_reader->wait();
    return true;
  }
  uint64_t k = blocksDone();
  for (int read = 0; read < kReadsPerStep && k < m_blockCount; ++read) {
    const uint64_t n = std::min(kChunkBlocks, m_blockCount - k);
    const uint64_t frames = std::min(n * kBlockFrames, m_frames - k * kBlockFrames);
    const int16_t* chunk = m_chunks[m_measured].get();
    // The next stretch is read meanwhile, into the other buffer.
    const bool more = k + n < m_blockCount;
    if (more) {
      m_readBlock = k + n;
      m_readInto = 1 - m_measured;
      m_reader->start();
    }
    for (uint64_t b = 0; b < n; ++b) {
      const uint64_t at = b * kBlockFrames;
      measureBlock(k + b, chunk + 2 * at, std::min(kBlockFrames, frames - at));
    }
    if (more) {
      m_reader->wait();
      m_measured = 1 - m_measured;
    }
    k += n;
    m_done.store(k, std::memory_order_release);
  }
  return k < m_blockCount;
}

}  // namespace pelisto
