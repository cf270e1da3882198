#include "shell/main_loop.h"

#include <algorithm>
#include <cstdint>

#include "playback/handlers.h"
#include "project/recovery_copy.h"

namespace pelisto {

void runMainLoop(AppContext& ctx, EventPump& pump) {
  for (;;) {
    pump.processPending();
    if (pump.closed()) return;
    // The copy of an unsaved list follows the changes just made.
    const int64_t copyDue = std::min<int64_t>(keepRecoveryCopy(ctx), 60000);
    if (playFollowed(ctx)) {
      followPlay(ctx);
      pump.waitForEvents(copyDue >= 0 ? std::min<int>(copyDue, kTrackingIntervalMs) : kTrackingIntervalMs);
    } else {
      pump.waitForEvents(static_cast<int>(copyDue));
    }
  }
}

}  // namespace pelisto
