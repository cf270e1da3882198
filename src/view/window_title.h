// The main window's title: which file the waveform shows, and whether the
// edit list holds changes not yet saved.
#pragma once

#include <string>

#include "model/context.h"

namespace pelisto {

// "NAME - Pelisto" while a wave file is open (its name without the
// folder), "Pelisto" while none is; led by "*" while the edit list is
// unsaved. Message boxes keep their own caption, APPTITLE.
std::string windowTitle(const AppContext& ctx);

// Puts windowTitle on the main window when it differs from the one shown.
void showWindowTitle(AppContext& ctx);

}  // namespace pelisto
