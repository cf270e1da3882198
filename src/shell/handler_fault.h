// What happens when an exception escapes a handler: memory ran out
// (std::bad_alloc) or something failed that no handler checks for.
#pragma once

#include <exception>

#include "model/context.h"
#include "model/list_state.h"
#include "model/messages.h"

namespace pelisto {

inline constexpr const char* kMsgHandlerFault = "予期しないエラーのため、処理を中止しました";

// Called once the exception has left the handler (its busy display, files
// and temporary file went as it passed). Ends the job behind the window
// with its file (the fast display goes off), records the change of the
// list when the handler may have made one (`change`: what it noted), and
// shows one message. The program then goes on.
void endAfterFault(AppContext& ctx, const std::exception_ptr& fault, ListChangeNote* change);

}  // namespace pelisto
