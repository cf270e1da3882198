#include "app/handlers.h"

namespace pelisto {

void BUTTON14_ON(AppContext&) {}

}  // namespace pelisto
