#include "app/handlers.h"

namespace pelisto {

void COPYRIGHT_ON(AppContext& ctx) {
  ctx.ui.showAbout([&ctx](Canvas& form3) { FORM3_START(ctx, form3); });
}
void FORM3_START(AppContext&, Canvas&) {}
void BUTTON13_ON(AppContext& ctx) { ctx.ui.closeAbout(0); }

}  // namespace pelisto
