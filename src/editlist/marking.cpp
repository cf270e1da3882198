#include "app/handlers.h"

namespace pelisto {

void BUTTON3_ON(AppContext&) {}
void BUTTON4_ON(AppContext&) {}
void LIST1_CLICK(AppContext&) {}

}  // namespace pelisto
