// Where a play is: the position heard now, as the tracking of the view,
// the cursor of the strip of the whole file and the keys that mark by ear
// all take it.
#pragma once

#include <cstdint>
#include <optional>

#include "model/context.h"

namespace pelisto {

// The position heard now, in ms of the playing file: the device's position
// ("STATUS WAVEOBJ POSITION"; no reply reads 0) less its output latency,
// never before where the play started. Kept in the session as heardMs.
// Asked of the device whether or not something plays.
int64_t playPosition(AppContext& ctx);

// The frame at ms of a file (nearest, halves to even).
int64_t frameAtMs(int64_t ms);

}  // namespace pelisto
