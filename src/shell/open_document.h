// Opening a file named from outside the program (the command line, a drop
// on the window): exactly as the menu command for its kind would once its
// dialog had returned the path.
#pragma once

#include <string>
#include <vector>

#include "model/context.h"

namespace pelisto {

// True when path names a project file: it ends in ".prj", any letter case.
bool isProjectPath(const std::string& path);

// True when a file named from outside may be opened now: nothing plays
// and no handler runs (so no box, dialog or long work is open).
bool readyToOpen(const AppContext& ctx);

// Loads a project or opens a wave file, refused while something plays as
// the menu commands are.
void openDocument(AppContext& ctx, const std::string& path);

inline constexpr const char* kMsgDropOneFile = "ファイルを一つだけドロップしてください";

// Something dropped on the main window (the local path of each item, empty
// for one that is no local file): one file opens as openDocument does;
// several, a folder or anything else is refused with kMsgDropOneFile.
void dropOnWindow(AppContext& ctx, const std::vector<std::string>& paths);

}  // namespace pelisto
