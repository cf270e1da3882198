#include "headless/simulated_output.h"

#include <algorithm>

namespace pelisto {

Status SimulatedOutput::prepare() {
  if (!m_prepareError.empty()) return Status::error(StatusCode::kIoError, m_prepareError);
  m_prepared = true;
  return Status::ok();
}

Status SimulatedOutput::start(std::shared_ptr<FrameSource> source, std::function<void()> onEnd) {
  m_source = std::move(source);
  m_onEnd = std::move(onEnd);
  m_startMs = m_now;
  m_consumed = 0;
  return Status::ok();
}

void SimulatedOutput::stop() {
  m_source.reset();
  m_onEnd = nullptr;
}

void SimulatedOutput::advanceTo(int64_t nowMs) {
  m_now = std::max(m_now, nowMs);
  if (!m_source) return;
  const uint64_t due = uint64_t(m_now - m_startMs) * uint64_t(m_rate) / 1000;
  const uint64_t target = std::min(due, m_source->totalFrames());
  constexpr size_t kChunk = 4096;
  m_scratch.resize(2 * kChunk);
  bool short_ = false;
  while (m_consumed < target) {
    const size_t n = size_t(std::min<uint64_t>(kChunk, target - m_consumed));
    const size_t got = m_source->pull(m_scratch.data(), n);
    if (m_capture) m_capture->insert(m_capture->end(), m_scratch.begin(), m_scratch.begin() + 2 * got);
    m_consumed += got;
    if (got < n) {
      short_ = true;
      break;
    }
  }
  if (short_ || m_consumed >= m_source->totalFrames()) {
    std::function<void()> onEnd = std::move(m_onEnd);
    m_source.reset();
    m_onEnd = nullptr;
    if (onEnd) onEnd();
  }
}

}  // namespace pelisto
