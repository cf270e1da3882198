#include "app/handlers.h"

namespace pelisto {

void OPENPROJECT_ON(AppContext&) {}
void SAVEPROJECT_ON(AppContext&) {}

}  // namespace pelisto
