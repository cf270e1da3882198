// At start: the copies of unsaved lists that programs no longer running
// left behind (project/recovery_copy.h) are offered back.
#pragma once

#include "model/context.h"

namespace pelisto {

inline constexpr const char* kAskRestoreList = "前回保存されなかった編集リストがあります。復元しますか？";
inline constexpr const char* kMsgUnreadableCopies =
    "読み込めない編集リストの復元用ファイルがありました。次の名前で残してあります：";

// Offers each readable copy of a program no longer running, newest first:
// Yes loads it as the project command would and keeps the list unsaved
// (the copy becomes this program's own, the old one going only once the
// new one is written), and ends the offers (the rest wait for the next
// start: one list is open at a time); No removes it; closing the box keeps
// it and every other one for the next start. The copies that cannot be
// read are moved to a name that is not offered again and named in one
// message. Returns true when a list was restored.
bool offerRecoveredLists(AppContext& ctx);

}  // namespace pelisto
