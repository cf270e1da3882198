// Opening a wave file into the view: shared by the open-file command and
// the project loader.
#pragma once

#include <string>

#include "model/context.h"
#include "wave/wave_header.h"

namespace pelisto {

// What opening a file into the view came to: ok, or the refusal to show;
// and the header check that refused the file (kNone when it passed or
// could not be opened).
struct ViewOpening {
  Status status;
  HeaderFault fault = HeaderFault::kNone;
};

// Ends mouse marking and dragging, closes the wave file open in the view,
// opens path under the lowest free file number and checks its header. On
// success records DATASIZE and WAVEFMT, sets the scroll range, builds the
// graph cache when the fast option is on, writes the length into EDIT1 and
// moves the view to second 0 (scroll bar, EDIT2, picture and markers). On
// failure closes the file, leaves WAVEFNUM 0 and returns the refusal to
// show: a failed check's own status (kInvalid and its message), or why the
// file could not be opened or read (that status's code, with a text naming
// path). WAVEFILENAME is the caller's to set.
ViewOpening openIntoView(AppContext& ctx, const std::string& path);
// The file the view is to show, named before it is opened (a project's).
void nameWaveFile(AppContext& ctx, std::string path);
// The open wave file closed (WAVEFNUM 0); its name stays.
void closeWaveFile(AppContext& ctx);

// openIntoView's status alone.
Status openWaveForView(AppContext& ctx, const std::string& path);

// The open-file command's dialog: wave files first, then every sound file
// the library reads (they are offered for conversion), then all files.
FileDialogSpec openWaveDialog(SoundLibrary& sound);

// The open-file command once its dialog has chosen path.
void openWaveFileAt(AppContext& ctx, const std::string& path);

inline constexpr const char* kMsgCannotOpenWave = "waveファイルを開く事が出来ません";

}  // namespace pelisto
