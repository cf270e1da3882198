#include "view/pauses.h"

#include <algorithm>
#include <cmath>

#include "model/app_state.h"

namespace pelisto {
namespace {

constexpr uint64_t kBlockFrames = WAVEBLOCK / kFrameSize;

}  // namespace

double silenceLevel(const PauseSettings& settings) {
  const double rms = 32768.0 * std::pow(10.0, settings.thresholdDb / 20.0);
  return rms * rms;
}

int64_t minPauseFrames(const PauseSettings& settings) {
  return std::llround(settings.minSeconds * kFramesPerSecond);
}

PauseRuns::PauseRuns(const PauseSettings& settings, uint64_t frames)
    : m_minFrames(minPauseFrames(settings)), m_frames(frames) {}

std::optional<Pause> PauseRuns::add(uint64_t k, bool silent) {
  if (silent) {
    m_low = m_inRun ? std::min(m_low, k) : k;
    m_high = m_inRun ? std::max(m_high, k) : k;
    m_inRun = true;
    return std::nullopt;
  }
  return end();
}

std::optional<Pause> PauseRuns::end() {
  if (!m_inRun) return std::nullopt;
  m_inRun = false;
  const Pause p{static_cast<int64_t>(m_low * kBlockFrames),
                static_cast<int64_t>(std::min((m_high + 1) * kBlockFrames, m_frames)) - 1};
  if (p.last - p.first + 1 < m_minFrames) return std::nullopt;
  return p;
}

std::vector<Pause> findPauses(const WaveSurvey& survey, const PauseSettings& settings) {
  std::vector<Pause> found;
  const double silence = silenceLevel(settings);
  const uint64_t done = survey.blocksDone();
  PauseRuns runs(settings, survey.frames());
  for (uint64_t k = 0; k < done; ++k) {
    if (auto p = runs.add(k, survey.level(k) < silence)) found.push_back(*p);
  }
  if (done == survey.blocks()) {
    if (auto p = runs.end()) found.push_back(*p);
  }
  return found;
}

}  // namespace pelisto
