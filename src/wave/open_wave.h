// Opening a wave file into the view: shared by the open-file command and
// the project loader.
#pragma once

#include <string>

#include "model/context.h"

namespace pelisto {

// Ends mouse marking and dragging, closes the wave file open in the view,
// opens path under the lowest free file number and checks its header. On
// success records DATASIZE and WAVEFMT, sets the scroll range, builds the
// graph cache when the fast option is on, writes the length into EDIT1 and
// moves the view to second 0 (scroll bar, EDIT2, picture and markers). On
// failure closes the file, leaves WAVEFNUM 0 and returns the refusal to
// show: a failed check's own status (kInvalid and its message), or why the
// file could not be opened or read (that status's code, with a text naming
// path). WAVEFILENAME is the caller's to set.
Status openWaveForView(AppContext& ctx, const std::string& path);

// The open-file command once its dialog has chosen path.
void openWaveFileAt(AppContext& ctx, const std::string& path);

inline constexpr const char* kMsgCannotOpenWave = "waveファイルを開く事が出来ません";

}  // namespace pelisto
