#include "app/handlers.h"

namespace pelisto {

void TRACETIMESCROLL(AppContext&) {}

}  // namespace pelisto
