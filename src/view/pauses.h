// Finding pauses in the levels of 10-ms blocks: a pause is a run of
// blocks, each below the level of the threshold in both channels, at least
// the minimum length long. The same runs are found whichever way the
// blocks are gone through, so a search may go forward or back.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "model/pauses.h"
#include "view/wave_survey.h"

namespace pelisto {

// The mean square (16-bit sample units) a block's louder channel stays
// below to be silent: 32768 × 10^(dB / 20), squared.
double silenceLevel(const PauseSettings& settings);
// The frames of the shortest pause (rounded to the nearest).
int64_t minPauseFrames(const PauseSettings& settings);

// Turns silent blocks into pauses, given one block at a time, each next
// to the last one given (one direction throughout).
class PauseRuns {
 public:
  PauseRuns(const PauseSettings& settings, uint64_t frames);
  // Block k and whether it is silent: the pause that ended just before it,
  // if one did.
  std::optional<Pause> add(uint64_t k, bool silent);
  // After the last block: the pause that reaches it, if any.
  std::optional<Pause> end();

 private:
  int64_t m_minFrames;
  uint64_t m_frames;
  bool m_inRun = false;
  uint64_t m_low = 0, m_high = 0;  // the blocks of the run so far
};

// The pauses among the blocks the survey has measured, in order. A silence
// that reaches the last block measured is not yet known to end: it counts
// only once the whole file is measured.
std::vector<Pause> findPauses(const WaveSurvey& survey, const PauseSettings& settings);

}  // namespace pelisto
