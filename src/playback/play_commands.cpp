#include "app/handlers.h"

namespace pelisto {

MciResult sendMci(AppContext& ctx, const std::string& command) {
  ctx.lastMci = ctx.mci.send(command);
  return ctx.lastMci;
}
void BUTTON1_ON(AppContext&) {}
void BUTTON2_ON(AppContext&) {}
void BUTTON5_ON(AppContext&) {}
void MCI1_DONE(AppContext&) {}

}  // namespace pelisto
