#include "app/handlers.h"

namespace pelisto {

int16_t SHOWWAVEDATA(AppContext& ctx, int32_t) {
  Canvas& pic = ctx.ui.canvas(Control::PICTURE1);
  pic.fillBox(0, 0, 660, 128, 15);
  ctx.state.TRACEX = -1;
  pic.line(0, 63, 660, 63, 14);
  return 0;
}

}  // namespace pelisto
