#include "app/handlers.h"

namespace pelisto {

int16_t GETWAVEDATA(AppContext& ctx, int32_t) {
  ctx.state.WAVEBUF.fill(0);
  return 0;
}

}  // namespace pelisto
