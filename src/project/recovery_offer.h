// At start: the copies of unsaved lists that programs no longer running
// left behind (project/recovery_copy.h) are offered back.
#pragma once

#include <cstdint>
#include <string>

#include "model/context.h"

namespace pelisto {

inline constexpr const char* kAskRestoreList = "前回保存されなかった編集リストがあります。";
inline constexpr const char* kAskRestoreOne = "復元しますか？";
inline constexpr const char* kAskRestoreOfSeveral =
    "復元するリストを選んでください（破棄すると、すべて削除します）。";
inline constexpr const char* kMsgUnreadableCopies =
    "読み込めない編集リストの復元用ファイルがありました。次の名前で残してあります：";
inline constexpr const char* kMsgCannotReadCopy = "編集リストの復元用ファイルを読み込めませんでした";
inline constexpr const char* kMsgCannotRemoveCopies =
    "編集リストの復元用ファイルを削除出来ませんでした。次回からは尋ねません。次の場所に残っています：";

// How the question names a copy: "talk.wav の編集リスト（12 行、12月8日 23:41）",
// the year before the month when it is not the year of nowNs.
std::string copyDescription(const std::string& waveFileName, int lines, int64_t changedNs, int64_t nowNs);

// One question for every readable copy of a program no longer running,
// newest first, each named by its wave file, its lines and the time of its
// last change (only its two ends are read). Restoring one loads it as the
// project command would and keeps it unsaved (it becomes this program's
// copy, the old one going only once the new one is written); the others
// wait for the next start, one list being open at a time. Discarding
// removes them all; later keeps them all. A copy that cannot be removed is
// named once, with where it lies, and not offered again. Copies that
// cannot be read (or are larger than any list) are moved to a name that
// is not offered again and named in one message. Memory running out while
// a copy is read ends that with a message; the copy stays. Returns true
// when a list was restored.
bool offerRecoveredLists(AppContext& ctx);

}  // namespace pelisto
