#include "wave/join_fades.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/coding.h"

namespace pelisto {
namespace {

// Frames one repeat of step writes.
uint64_t pieceFrames(const WriteStep& step) {
  return step.kind == WriteStep::Kind::kNothing ? 0 : step.bytes / kFrameSize;
}

// The first step from i on that writes anything.
size_t writingStep(const std::vector<WriteStep>& steps, size_t i) {
  while (i < steps.size() && pieceFrames(steps[i]) == 0) ++i;
  return i;
}

// The gain of frame i (from the silent end) of a fade of n frames: rises
// from near 0 to near 1 along half a cosine, never reaching either.
double fadeGain(uint64_t i, uint64_t n) {
  return 0.5 - 0.5 * std::cos(std::numbers::pi * double(i + 1) / double(n + 1));
}

// The length of each fade of a segment of n frames: half the segment when
// it is shorter than two fades (the middle frame of an odd one is in both).
uint64_t fadeFrames(uint64_t n) { return std::min(kMaxFadeFrames, (n + 1) / 2); }

// Scales the frames [from, to) of the joined sound that lie in the output
// held in data (frames [first, last)); rising: the fade's silent end is
// at `from`, else at `to`.
void scale(uint8_t* data, uint64_t first, uint64_t last, uint64_t from, uint64_t to, bool rising) {
  const uint64_t n = to - from;
  for (uint64_t f = std::max(from, first); f < std::min(to, last); ++f) {
    const double g = fadeGain(rising ? f - from : to - 1 - f, n);
    uint8_t* p = data + (f - first) * kFrameSize;
    for (int c = 0; c < 2; ++c, p += 2) {
      const auto x = static_cast<int16_t>(getLe16(p));
      putLe16(p, static_cast<uint16_t>(static_cast<int16_t>(std::lround(x * g))));
    }
  }
}

}  // namespace

bool continuesWithoutJump(const WriteStep& prev, const WriteStep& next) {
  using K = WriteStep::Kind;
  if (prev.kind != next.kind) return false;
  if (prev.kind == K::kBlank) return true;
  if (prev.kind != K::kCopy && prev.kind != K::kVoiceless) return false;
  return prev.source == next.source && next.offset == prev.offset + prev.bytes;
}

JoinSegments::JoinSegments(const std::vector<WriteStep>& steps)
    : m_steps(steps), m_step(writingStep(steps, 0)) {}

bool JoinSegments::next() {
  m_start = m_end;
  if (m_step >= m_steps.size()) return false;
  size_t cur = m_step;
  uint64_t rep = m_rep;
  m_end += pieceFrames(m_steps[cur]);
  for (;;) {
    if (rep + 1 < m_steps[cur].repeats) {  // the loop starts over: a jump
      m_step = cur;
      m_rep = rep + 1;
      return true;
    }
    const size_t after = writingStep(m_steps, cur + 1);
    if (after == m_steps.size() || !continuesWithoutJump(m_steps[cur], m_steps[after])) {
      m_step = after;
      m_rep = 0;
      return true;
    }
    cur = after;
    rep = 0;
    m_end += pieceFrames(m_steps[cur]);
  }
}

bool JoinSegments::seek(uint64_t frame) {
  while (m_end <= frame) {
    if (m_rep > 0) {
      // Every repeat but the last is a segment of its own.
      const WriteStep& step = m_steps[m_step];
      const uint64_t piece = pieceFrames(step);
      const uint64_t passed = std::min((frame - m_end) / piece, step.repeats - 1 - m_rep);
      m_end += passed * piece;
      m_rep += passed;
    }
    if (!next()) return false;
  }
  return true;
}

uint64_t jumpAtOrAfter(const std::vector<WriteStep>& steps, uint64_t frame) {
  JoinSegments segments(steps);
  if (!segments.seek(frame)) return segments.end();
  return segments.start() == frame ? frame : segments.end();
}

JoinFades::JoinFades(const std::vector<WriteStep>& steps, uint64_t firstFrame)
    : m_segments(steps), m_more(m_segments.seek(firstFrame)), m_position(firstFrame) {}

void JoinFades::apply(uint8_t* data, size_t bytes) {
  const uint64_t first = m_position, last = first + bytes / kFrameSize;
  m_position = last;
  while (m_more && m_segments.start() < last) {
    const uint64_t s = m_segments.start(), e = m_segments.end();
    const uint64_t fade = fadeFrames(e - s);
    scale(data, first, last, s, s + fade, true);
    scale(data, first, last, e - fade, e, false);
    if (e > last) return;
    m_more = m_segments.next();
  }
}

}  // namespace pelisto
