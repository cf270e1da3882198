#include "app/handlers.h"

namespace pelisto {

void BUTTON7_ON(AppContext&) {}
void BUTTON8_ON(AppContext&) {}
void BUTTON9_ON(AppContext&) {}
void BUTTON10_ON(AppContext&) {}
void BUTTON11_ON(AppContext&) {}
void BUTTON12_ON(AppContext&) {}

}  // namespace pelisto
