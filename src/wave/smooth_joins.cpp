// The option of smoothing the joins of written files.
#include "wave/handlers.h"
#include "wave/write_plan.h"

namespace pelisto {

void SMOOTHJOINS_ON(AppContext& ctx) {
  const bool on = !ctx.state.smoothJoins;
  ctx.state.smoothJoins = on;
  ctx.ui.setChecked(MenuItem::SmoothJoins, on);
  ctx.ui.rememberChoice(kSmoothJoinsChoice, on);
}

}  // namespace pelisto
