// Smoothed joins: short fades wherever the written sound jumps. The joined
// sound is cut into segments, each a run that goes on frame by frame in
// one source; a segment ends where the next piece does not continue it
// (another entry, the next repeat of a loop, a blank, a voiceless range
// beside a plain one, the end of the file). Every segment fades in over
// its first frames and out over its last, with a raised-cosine gain of at
// most kMaxFadeFrames frames, or half the segment (rounded up) when it is
// shorter than two fades. The fades only scale samples already written (no sample from
// outside the marked ranges, no clipping): the length and every frame
// outside them stay as without the option.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "wave/write_plan.h"

namespace pelisto {

// 5 ms at 44100 frames per second, rounded down.
inline constexpr uint64_t kMaxFadeFrames = 220;

// True when the output of `next` continues that of `prev` with no jump:
// the same kind of sound (two blanks; or the same source, both plain or
// both voiceless) and next starts at the very frame where prev ends.
bool continuesWithoutJump(const WriteStep& prev, const WriteStep& next);

// The segments of a plan's joined sound, in order.
class JoinSegments {
 public:
  explicit JoinSegments(const std::vector<WriteStep>& steps);

  // Moves to the next segment; false when there is none (start() and end()
  // are then both the end of the sound).
  bool next();
  // Moves on until the segment holds frame; false when the sound ends
  // first. The repeats of a loop are passed over at once.
  bool seek(uint64_t frame);
  uint64_t start() const { return m_start; }
  uint64_t end() const { return m_end; }

 private:
  const std::vector<WriteStep>& m_steps;
  size_t m_step = 0;   // the step and repeat the next segment starts with
  uint64_t m_rep = 0;
  uint64_t m_start = 0, m_end = 0;  // frames of the joined sound
};

// The first jump at or after frame (the end of the sound is one).
uint64_t jumpAtOrAfter(const std::vector<WriteStep>& steps, uint64_t frame);

// Applies the fades to the output as it is written, frames in order.
class JoinFades {
 public:
  // For output that starts at frame firstFrame of the joined sound.
  JoinFades(const std::vector<WriteStep>& steps, uint64_t firstFrame);

  // Scales the next `bytes` bytes of output (whole 16-bit stereo frames)
  // in place.
  void apply(uint8_t* data, size_t bytes);

 private:
  JoinSegments m_segments;
  bool m_more;          // a segment is current
  uint64_t m_position;  // the frame of the joined sound apply() gets next
};

}  // namespace pelisto
