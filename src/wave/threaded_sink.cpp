#include "wave/threaded_sink.h"

#include <algorithm>
#include <cstring>

namespace pelisto {

ThreadedSink::ThreadedSink(OutputSink& inner, std::optional<DitheredGain> gain)
    : m_inner(inner), m_gain(gain), m_blocks(kQueuedBlocks), m_helper([this] { work(); }) {}

Status ThreadedSink::write(const uint8_t* frames, size_t n) {
  while (n > 0) {
    // A block to fill: the helper is at most kQueuedBlocks - 1 behind.
    if (Status st = settle(kQueuedBlocks - 1); !st) return st;
    const size_t part = std::min(n, kQueuedFrames);
    Block& block = m_blocks[m_handed % m_blocks.size()];
    block.frames.resize(4 * part);
    if (m_gain) {
      m_gain->apply(frames, block.frames.data(), 2 * part, m_samples);
    } else {
      std::memcpy(block.frames.data(), frames, 4 * part);
    }
    m_samples += 2 * part;
    ++m_handed;
    m_helper.start();
    frames += 4 * part;
    n -= part;
  }
  return Status::ok();
}

Status ThreadedSink::finish() {
  if (Status st = settle(0); !st) return st;
  return m_inner.finish();
}

Status ThreadedSink::settle(size_t pending) {
  const size_t done = m_handed - m_helper.wait(pending);
  for (; m_settled < done; ++m_settled) {
    const Block& block = m_blocks[m_settled % m_blocks.size()];
    if (!block.status) return block.status;
  }
  return Status::ok();
}

void ThreadedSink::work() {
  Block& block = m_blocks[m_worked++ % m_blocks.size()];
  if (m_failed) return;  // never checked: the caller stops at the failure before it
  block.status = m_inner.write(block.frames.data(), block.frames.size() / 4);
  m_failed = !block.status;
}

}  // namespace pelisto
