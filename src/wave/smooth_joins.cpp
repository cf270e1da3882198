// The option of smoothing the joins of written files.
#include "wave/handlers.h"

namespace pelisto {
namespace {

// The name the smoothing option is remembered under between runs.
constexpr const char* kSmoothJoinsChoice = "smoothJoins";

}  // namespace

void loadSmoothJoins(AppContext& ctx) {
  ctx.state.smoothJoins = ctx.ui.rememberedChoice(kSmoothJoinsChoice);
  ctx.ui.setChecked(MenuItem::SmoothJoins, ctx.state.smoothJoins);
}

void SMOOTHJOINS_ON(AppContext& ctx) {
  const bool on = !ctx.state.smoothJoins;
  ctx.state.smoothJoins = on;
  ctx.ui.setChecked(MenuItem::SmoothJoins, on);
  ctx.ui.rememberChoice(kSmoothJoinsChoice, on);
}

}  // namespace pelisto
