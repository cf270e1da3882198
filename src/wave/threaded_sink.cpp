#include "wave/threaded_sink.h"

#include <algorithm>
#include <cstring>

namespace pelisto {

ThreadedSink::ThreadedSink(OutputSink& inner, std::optional<DitheredGain> gain)
    : m_inner(inner), m_gain(gain), m_queue(kQueuedBlocks, [this](std::vector<uint8_t>& frames) {
        return m_inner.write(frames.data(), frames.size() / 4);
      }) {}

Status ThreadedSink::write(const uint8_t* frames, size_t n) {
  while (n > 0) {
    Result<std::vector<uint8_t>*> block = m_queue.next();
    if (!block) return block.status();
    const size_t part = std::min(n, kQueuedFrames);
    std::vector<uint8_t>& bytes = *block.value();
    bytes.resize(4 * part);
    if (m_gain) {
      m_gain->apply(frames, bytes.data(), 2 * part, m_samples);
    } else {
      std::memcpy(bytes.data(), frames, 4 * part);
    }
    m_samples += 2 * part;
    m_queue.hand();
    frames += 4 * part;
    n -= part;
  }
  return Status::ok();
}

Status ThreadedSink::finish() {
  if (Status st = m_queue.finish(); !st) return st;
  return m_inner.finish();
}

}  // namespace pelisto
