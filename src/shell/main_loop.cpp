#include "shell/main_loop.h"

#include <algorithm>
#include <chrono>
#include <cstdint>

#include "playback/handlers.h"
#include "project/recovery_copy.h"
#include "wave/loudness_ahead.h"

namespace pelisto {
namespace {

// The program's clock (the scenario runner's simulated one where it is
// set), in ms.
int64_t programMs(const AppContext& ctx) {
  if (ctx.recovery.clockMs) return ctx.recovery.clockMs();
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// The sooner of two delays, -1 standing for none.
int64_t sooner(int64_t a, int64_t b) {
  if (a < 0) return b;
  if (b < 0) return a;
  return std::min(a, b);
}

}  // namespace

int64_t keepWorkBehind(AppContext& ctx) {
  const int64_t copyDue = keepRecoveryCopy(ctx);
  return sooner(copyDue, keepLoudnessMeasured(ctx, programMs(ctx)));
}

void runMainLoop(AppContext& ctx, EventPump& pump) {
  for (;;) {
    pump.processPending();
    if (pump.closed()) return;
    // The copy of an unsaved list, and the list's loudness, follow the
    // changes just made.
    const int64_t due = std::min<int64_t>(keepWorkBehind(ctx), 60000);
    if (playFollowed(ctx)) {
      followPlay(ctx);
      pump.waitForEvents(due >= 0 ? std::min<int>(due, kTrackingIntervalMs) : kTrackingIntervalMs);
    } else {
      pump.waitForEvents(static_cast<int>(due));
    }
  }
}

}  // namespace pelisto
