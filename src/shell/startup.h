// The start of the program, before its main loop.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "model/context.h"
#include "platform/program_files.h"
#include "platform/worker.h"

namespace pelisto {

// How the program keeps the copy of an unsaved list: in files.folder,
// written by writer (a worker of its own, apart from the graph cache's),
// timed by clockMs (milliseconds).
struct RecoverySetUp {
  ProgramFiles files;
  Worker& writer;
  std::function<int64_t()> clockMs;
};

// The program starts, as both backends start it: the copy of an unsaved
// list kept from now on when recovery is given, the window's face
// (MAINFORM_START), the edit lists that programs no longer running left
// unsaved offered back, then file (when not empty) opened as one named
// from outside.
void startProgram(AppContext& ctx, const std::string& file, std::optional<RecoverySetUp> recovery = {});
// The window's layout as the user last left it (the strip of the whole
// file shown or not, and the form's height with it). Part of the start; a
// backend that shows its window before the start lays it out first, so
// that the window never maps at one height and then grows.
void layOutWindow(AppContext& ctx);
// The program ends, its window closed: its graph cache removed, and the
// copy of its list (a write still running waited for).
void shutdownProgram(AppContext& ctx);

}  // namespace pelisto
