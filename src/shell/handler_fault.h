// What happens when an exception escapes a handler: memory ran out
// (std::bad_alloc) or something failed that no handler checks for.
#pragma once

#include <exception>

#include "model/context.h"
#include "model/list_state.h"

namespace pelisto {

inline constexpr const char* kMsgOutOfMemory = "メモリが足りないため、処理を中止しました";
inline constexpr const char* kMsgHandlerFault = "予期しないエラーのため、処理を中止しました";

// Called once the exception has left the handler (its busy display, files
// and temporary file went as it passed). Ends the job behind the window
// with its file (the fast display goes off), records the change of the
// list when the handler may have made one (`before`: the list it started
// from), and shows one message. The program then goes on.
void endAfterFault(AppContext& ctx, const std::exception_ptr& fault, const ListState* before);

}  // namespace pelisto
