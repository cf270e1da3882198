#include "app/handlers.h"

namespace pelisto {

void PICTURE1_MOUSEMOVE(AppContext&, int, double, double) {}
void PICTURE1_MOUSEDOWN(AppContext&, int, double, double) {}
void MAINFORM_MOUSEMOVE(AppContext&, int, double, double) {}
void MAINFORM_MOUSEUP(AppContext&, int, double, double) {}

}  // namespace pelisto
