#include "wave/threaded_sink.h"

#include <algorithm>
#include <cstring>

namespace pelisto {

ThreadedSink::ThreadedSink(OutputSink& inner, std::optional<DitheredGain> gain, Scaling scaling)
    : m_inner(inner), m_gain(gain), m_scaling(scaling), m_blocks(kQueuedBlocks), m_helper([this] { work(); }) {}

Status ThreadedSink::write(const uint8_t* frames, size_t n) {
  while (n > 0) {
    // A block to fill: the helper is at most kQueuedBlocks - 1 behind.
    if (Status st = settle(kQueuedBlocks - 1); !st) return st;
    const size_t part = std::min(n, kQueuedFrames);
    Block& block = m_blocks[m_handed % m_blocks.size()];
    block.frames.resize(4 * part);
    block.first = m_samples;
    const size_t samples = 2 * part;
    const size_t mine = !m_gain ? 0 : m_scaling == Scaling::kShared ? samples / 2 : samples;
    if (mine > 0) m_gain->apply(frames, block.frames.data(), mine, m_samples);
    std::memcpy(block.frames.data() + 2 * mine, frames + 2 * mine, 2 * (samples - mine));
    block.helperScales = m_gain ? samples - mine : 0;
    m_samples += samples;
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
  if (block.helperScales > 0) {
    const size_t from = block.frames.size() / 2 - block.helperScales;
    uint8_t* p = block.frames.data() + 2 * from;
    m_gain->apply(p, p, block.helperScales, block.first + from);
  }
  block.status = m_inner.write(block.frames.data(), block.frames.size() / 4);
  m_failed = !block.status;
}

}  // namespace pelisto
