// The rows of the edit list and the rules that keep line k of LIST1 showing
// row k: the pending entry (start marked, end not yet) is always the last
// line and uses row EDITCOUNT.
#pragma once

#include <string>

#include "model/context.h"

namespace pelisto {

inline constexpr const char* kMsgChooseStart = "開始位置を選択してください";
inline constexpr const char* kMsgBlankAlone = "ブランクのみ挿入する事は出来ません";
inline constexpr const char* kMsgListFull =
    "編集リストが一杯です。これ以上追加する事は出来ません（最大32767件）";
inline constexpr const char* kMsgLoopRange =
    "ループ回数は -2147483648 から 2147483647 までの整数で入力してください";
inline constexpr const char* kMsgBlankNegative = "ブランク秒数に負の値は指定出来ません";
inline constexpr const char* kMsgBlankTooLong =
    "ブランク秒数が長すぎます（最大48695秒）";
inline constexpr const char* kBlankName = "BRANK";

// True when LIST1's last line is the pending entry: the list has
// EDITCOUNT + 1 lines.
bool hasPendingEntry(const AppContext& ctx);
// True when `line` is the pending entry's line.
bool isPendingLine(const AppContext& ctx, int line);
// True when one more row can be added next to every line now listed.
bool hasRoomForEntry(const AppContext& ctx);

// Row r of both tables made to exist and emptied: 0 in all eight numbers,
// both texts empty.
void clearRow(AppState& state, int r);
// Exchanges rows a and b of both tables (all ten columns).
void swapRows(AppState& state, int a, int b);

// Adds a finished entry as row and line EDITCOUNT: appended, or inserted
// just before the pending entry (whose row moves down one place with it).
// EDITCOUNT grows by 1; the selected line stays the same line.
// Precondition: hasRoomForEntry(ctx).
void addFinishedEntry(AppContext& ctx, EditFileRow file, EditDataRow data,
                      const std::string& text);

// The file name of a path: the part after its last "/" or "\" (the whole
// path when it has neither).
std::string displayName(const std::string& path);

}  // namespace pelisto
