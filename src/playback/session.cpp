#include "playback/session.h"

#include <algorithm>

#include "model/numbers.h"
#include "playback/handlers.h"

namespace pelisto {

int64_t playPosition(AppContext& ctx) {
  const MciResult r = sendMci(ctx, "STATUS WAVEOBJ POSITION");
  double p = roundHalfAway(readLeadingNumber(r.code == 0 ? r.reply : std::string()));
  p = std::clamp(p, -2147483648.0, 2147483647.0);  // a nonsense reply stays a number
  int64_t ms = static_cast<int64_t>(p);
  // The frames the device has taken are heard only once they have passed
  // the sound system's buffers.
  const int latency = ctx.mci.outputLatencyMs();
  if (latency > 0) ms = std::max(ms - latency, std::min(ms, ctx.state.session.firstMs));
  ctx.state.session.heardMs = ms;
  return ms;
}

int64_t frameAtMs(int64_t ms) {
  return static_cast<int64_t>(roundHalfEven(static_cast<double>(ms) * kFramesPerSecond / 1000.0));
}

}  // namespace pelisto
