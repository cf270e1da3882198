#include "shell/handler_fault.h"

#include <new>
#include <string>

#include "model/messages.h"
#include "view/graph_cache.h"

namespace pelisto {
namespace {

std::string faultText(const std::exception_ptr& fault) {
  try {
    std::rethrow_exception(fault);
  } catch (const std::bad_alloc&) {
    return kMsgOutOfMemory;
  } catch (const std::exception& e) {
    return std::string(kMsgHandlerFault) + "\n" + e.what();
  } catch (...) {
  }
  return kMsgHandlerFault;
}

}  // namespace

void endAfterFault(AppContext& ctx, const std::exception_ptr& fault, ListChangeNote* change) {
  AppState& s = ctx.state;
  try {
    if (s.graphBuilding) giveUpGraphBuild(ctx);
    if (change) change->finish();
  } catch (...) {
    // Whether the list changed cannot be told: it counts as unsaved, so
    // that closing asks before anything is lost.
    markListUnsaved(ctx);
  }
  try {
    refuse(ctx, faultText(fault));
  } catch (...) {
    // Not even the message could be shown; the program still goes on.
  }
}

}  // namespace pelisto
