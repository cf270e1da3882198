#include "app/handlers.h"

namespace pelisto {

void BUTTON6_ON(AppContext&) {}

}  // namespace pelisto
