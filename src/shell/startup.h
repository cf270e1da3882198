// The start of the program, before its main loop.
#pragma once

#include <string>

#include "model/context.h"

namespace pelisto {

// The program starts: the window's face (MAINFORM_START), the edit lists
// that programs no longer running left unsaved offered back, then file
// (when not empty) opened as one named from outside.
void startProgram(AppContext& ctx, const std::string& file);

}  // namespace pelisto
