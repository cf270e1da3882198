#pragma once

namespace pelisto {

// Gives every window of the program (the main window, the about box, the
// message boxes and dialogs) the application's icon: the installed one from
// the icon theme, else the copy compiled into the program.
void setApplicationIcon();

}  // namespace pelisto
