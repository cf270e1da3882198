// The frames of the written file around one join, for listening to it
// before the whole list is written.
#pragma once

#include <cstdint>

#include "model/context.h"
#include "wave/write_plan.h"

namespace pelisto {

// How much is heard on each side of the join.
inline constexpr uint64_t kJoinListenFrames = 2 * uint64_t{kFramesPerSecond};

// The frames heard around a join: the plan of their file, and the frame of
// that file where the line begins (the frames before it lead up to the
// join; 0 for line 0).
struct JoinWindow {
  WritePlan plan;
  uint64_t joinFrame = 0;
};

// The plan of a file that holds exactly the frames the whole list would
// write (loops, blanks, voiceless ranges and the smoothing option as the
// writer applies them) from kJoinListenFrames before line's first frame to
// kJoinListenFrames after it, or to the line's end when it is shorter; for
// line 0, the first kJoinListenFrames of the file. Refused with the
// writer's message when a line that those frames depend on fails its
// checks (the line itself, one before it, or one needed to know how the
// last of them is faded).
Result<JoinWindow> planJoinWindow(AppContext& ctx, int line);

}  // namespace pelisto
