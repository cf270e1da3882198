// Writing a project's list from the command line (pelisto --write), with
// no window: the project loaded, its list written to the output in the
// type the output's extension names, through the same checks and texts
// as the create-wave-file command.
#pragma once

#include "model/context.h"
#include "shell/command_line.h"

namespace pelisto {

inline constexpr int kWrittenExitStatus = 0;
inline constexpr int kNotWrittenExitStatus = 1;

// Loads command.file as a project into ctx, writes its list to
// command.output and tells the loudness found (with --loudness) through
// ctx.ui. Returns kWrittenExitStatus once written; kNotWrittenExitStatus
// when the project, its list or the output was refused or the write
// failed (shown through ctx.ui; no file is left behind).
int writeProject(AppContext& ctx, const CommandLine& command);

}  // namespace pelisto
