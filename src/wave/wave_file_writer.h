// Streams a checked plan into a wave file: the header, then every step in
// order (or only the frames of the joined sound the plan's window names),
// through one fixed buffer whatever the length of the output; the fades
// of smoothed joins are applied in that buffer as it fills. The
// file is built beside the target under a temporary name and renamed over
// the target only when complete, so a failure or a cancel leaves an
// existing target as it was and no partial file behind.
#pragma once

#include <string>

#include "platform/file_system.h"
#include "platform/ui.h"
#include "wave/write_plan.h"

namespace pelisto {

// Bytes read and written at a time. Plain copies produce the same bytes as
// any smaller piece size would.
inline constexpr size_t kWriteChunk = size_t{1} << 20;

// Writes plan to target. busy (may be null) gets the progress in bytes and
// may cancel. Returns kCancelled on a cancel, the failing operation's
// status on an error, ok once target holds the new file.
Status writeWaveFile(FileSystem& fs, const WritePlan& plan, const std::string& target,
                     BusyScope* busy);

}  // namespace pelisto
