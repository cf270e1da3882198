// The handlers of wave files.
#pragma once

#include "model/context.h"

namespace pelisto {

// ファイル → waveファイルを開く: asks for a wave file, opens it into the view
// and offers to convert a sound of another format.
void OPENWAVEFILE_ON(AppContext& ctx);
// 編集 → つなぎ目を滑らかにする: switches the smoothing of the joins in
// written files on or off, and remembers it for the next start.
void SMOOTHJOINS_ON(AppContext& ctx);
// The smoothing as the user last left it (off at the first start), with
// its check mark.
void loadSmoothJoins(AppContext& ctx);
// 編集 → 音量をそろえる → なし, −16 LUFS, −23 LUFS: the loudness written
// files are brought to (none: as they are), remembered for the next start.
void LOUDNESSOFF_ON(AppContext& ctx);
void LOUDNESS16_ON(AppContext& ctx);
void LOUDNESS23_ON(AppContext& ctx);
// Sets the loudness choice and its check marks.
void chooseLoudness(AppContext& ctx, LoudnessTarget target);

}  // namespace pelisto
