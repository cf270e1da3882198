#include "app/handlers.h"

namespace pelisto {

void LOADGRAPHDATA(AppContext&, const std::string&, int32_t&) {}
void GRAPGFAST_ON(AppContext&) {}

}  // namespace pelisto
