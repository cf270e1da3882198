// Message texts shared by several commands, and the refusal box.
#pragma once

#include <string>

#include "model/context.h"

namespace pelisto {

inline constexpr const char* kMsgPlaying = "ただ今、再生中です。";
inline constexpr const char* kMsgNoWaveFile = "waveファイルがオープンされていません";
inline constexpr const char* kMsgSelectRange = "指定範囲を上記のリストボックスより選択してください";
inline constexpr const char* kMsgNotPlaying = "ファイルは再生されていません";
inline constexpr const char* kMsgOutOfMemory = "メモリが足りないため、処理を中止しました";

// The refusal box: OK button, stop icon, caption APPTITLE.
inline void refuse(AppContext& ctx, const std::string& text) {
  ctx.ui.messageBox(ctx.state.APPTITLE, text);
}

}  // namespace pelisto
