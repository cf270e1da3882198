#include "app/handlers.h"

namespace pelisto {

void HSCROLL1_CHANGE(AppContext&) {}

}  // namespace pelisto
