// The survey of the open wave file behind the window (view/wave_survey.h),
// and what the window takes from it: the pauses, the strip of the whole
// file. Nothing is shown from a file that is no longer open.
#pragma once

#include "model/context.h"

namespace pelisto {

// Starts surveying the wave file just opened (WAVEFNUM): the strip fills
// and the pauses are found as it goes. Not without a window to show them
// (MAINFORM not visible).
void startSurvey(AppContext& ctx);
// Ends the survey of the file going (cancelled if it still runs): no
// pauses are known, the pause line goes, the strip shows no file.
void endSurvey(AppContext& ctx);
// Finds the pauses anew among the blocks measured (the settings changed,
// or the survey went on).
void refreshPauses(AppContext& ctx);

}  // namespace pelisto
