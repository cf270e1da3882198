// Streams the frames of a checked plan into an output sink: every step in
// order (or only the frames of the joined sound the plan's window names),
// through one fixed buffer whatever the length of the output. The fades of
// smoothed joins are applied in that buffer as it fills (a gain is the
// sink's: threaded_sink.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/file_system.h"
#include "platform/ui.h"
#include "wave/output_sink.h"
#include "wave/write_plan.h"

namespace pelisto {

// Bytes read and handed on at a time. Plain copies produce the same bytes
// as any smaller piece size would.
inline constexpr size_t kWriteChunk = size_t{1} << 20;

inline constexpr const char* kMsgCancelled = "中止しました";

// Where one pass over the frames stands in the progress of a whole
// command: busy (may be null) is told `before` plus the frames done so
// far, of `total`, and may cancel.
struct PassProgress {
  BusyScope* busy = nullptr;
  uint64_t before = 0;
  uint64_t total = 0;
};

// Hands the plan's frames to sink, from begin() to finish(). Returns kCancelled
// on a cancel, the failing operation's status on an error (a source that
// ends inside its range, the sink's refusal), ok once the sink finished.
Status writeFrames(FileSystem& fs, const WritePlan& plan, OutputSink& sink, PassProgress progress);

}  // namespace pelisto
