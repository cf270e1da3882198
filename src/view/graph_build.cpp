#include "view/graph_build.h"

#include <algorithm>
#include <new>

#include "view/graph_points.h"

namespace pelisto {
namespace {

// The wave file is read in chunks of whole blocks (about 256 KiB, so that a
// chunk is still in the processor cache when it is reduced; one chunk is
// one step, so a cancel waits for no more than that) and the records are
// written in batches of about 256 KiB.
constexpr uint64_t kChunkBlocks = 150;
constexpr size_t kBatchBytes = 400 * kColumnsPerSecond;

}  // namespace

GraphBuild::GraphBuild(FileSystem& fs, std::string wavePath, std::string cachePath,
                       int32_t lastSecond)
    : m_fs(fs),
      m_wavePath(std::move(wavePath)),
      m_cachePath(std::move(cachePath)),
      m_lastSecond(lastSecond) {}

Status GraphBuild::openFiles() {
  auto wave = m_fs.open(m_wavePath, OpenMode::kRead);
  if (!wave) return wave.status();
  m_wave = std::move(wave.value());
  m_fs.remove(m_cachePath);
  auto cache = m_fs.open(m_cachePath, OpenMode::kCreateNewLocked);
  if (!cache) return cache.status();
  m_cache = std::move(cache.value());

  m_totalBlocks = m_lastSecond < 0 ? 0 : (static_cast<uint64_t>(m_lastSecond) + 1) * kBlocksPerSecond;
  // Block k is real when a whole block remains in the file at its offset
  // (bytes after the data chunk count, as for the block reader); every
  // later block is silence, exactly as the block reader gives it.
  auto length = m_wave->size();
  if (length && length.value() > static_cast<uint64_t>(kHeaderSize)) {
    m_realBlocks = std::min(m_totalBlocks, (length.value() - kHeaderSize) / WAVEBLOCK);
  }
  m_chunk = std::make_unique_for_overwrite<uint8_t[]>(kChunkBlocks * WAVEBLOCK);
  m_batch.reserve(kBatchBytes + kChunkBlocks * kColumnsPerBlock);
  return Status::ok();
}

int GraphBuild::percent() const { return m_percent.load(std::memory_order_relaxed); }

Status GraphBuild::flush() {
  if (m_batch.empty()) return Status::ok();
  Status st = m_cache->write(m_written, m_batch.data(), m_batch.size());
  m_written += m_batch.size();
  m_batch.clear();
  return st;
}

bool GraphBuild::step() {
  // On the worker's thread no handler is there to catch: memory running
  // out ends the build as a failure.
  try {
    return advance();
  } catch (const std::bad_alloc&) {
    m_status = Status::error(StatusCode::kLimit, "メモリが足りません");
    return false;
  }
}

bool GraphBuild::advance() {
  if (!m_cache) {
    m_status = openFiles();
    return m_status.isOk();
  }
  if (m_block < m_totalBlocks) {
    const uint64_t want = std::min(kChunkBlocks, m_totalBlocks - m_block);
    uint64_t real = 0;
    if (m_block < m_realBlocks) {
      const uint64_t n = std::min(want, m_realBlocks - m_block);
      auto got = m_wave->read(kHeaderSize + m_block * WAVEBLOCK, m_chunk.get(), n * WAVEBLOCK);
      real = got ? got.value() / WAVEBLOCK : 0;
      // A read that fails or comes up short ends the sound here.
      if (real < n) m_realBlocks = m_block + real;
    }
    const size_t at = m_batch.size();
    m_batch.resize(at + want * kColumnsPerBlock, kZeroRow);
    for (uint64_t i = 0; i < real; ++i) {
      reduceBlock(m_chunk.get() + i * WAVEBLOCK, m_batch.data() + at + i * kColumnsPerBlock);
    }
    m_block += want;
    m_percent.store(static_cast<int>(m_block * 100 / m_totalBlocks), std::memory_order_relaxed);
  }
  const bool last = m_block >= m_totalBlocks;
  if (last || m_batch.size() >= kBatchBytes) m_status = flush();
  return m_status.isOk() && !last;
}

}  // namespace pelisto
