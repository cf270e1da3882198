// Opening a file named from outside the program (the command line, a drop
// on the window): exactly as the menu command for its kind would once its
// dialog had returned the path.
#pragma once

#include <string>

#include "app/context.h"

namespace pelisto {

// True when path names a project file: it ends in ".prj", any letter case.
bool isProjectPath(const std::string& path);

// True when a file named from outside may be opened now: nothing plays
// and no handler runs (so no box, dialog or long work is open).
bool readyToOpen(const AppContext& ctx);

// Loads a project or opens a wave file, refused while something plays as
// the menu commands are.
void openDocument(AppContext& ctx, const std::string& path);

}  // namespace pelisto
