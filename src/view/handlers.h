// The handlers of the waveform view, each a free function over the
// application context (as are the handlers of every folder: a comment
// starts with what the user does to run it, the caption of its button or
// menu item).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/context.h"

namespace pelisto {

// Reads the next block (10 ms) of the open wave file into WAVEBUF, from
// byte position when it is not 0; zeros past the end. Always returns 0
// (the value has no meaning; the block is in WAVEBUF).
int16_t GETWAVEDATA(AppContext& ctx, int32_t position);
// Draws second of the open wave file into PICTURE1 (from the graph cache
// when it is ready). Always returns 0, as GETWAVEDATA does.
int16_t SHOWWAVEDATA(AppContext& ctx, int32_t second);
// Draws into PICTURE1 the second of the wave file at path that starts at
// firstFrame, as SHOWWAVEDATA draws one of the open file (frames the file
// does not hold lie on the centre line).
void showSecondOf(AppContext& ctx, const std::string& path, int64_t firstFrame);
// showSecondOf for a listen across a join: the picture then shows the
// join's second (pictureShowsJoin) until the view is next redrawn.
void showJoinSecondOf(AppContext& ctx, const std::string& path, int64_t firstFrame);
// The centre line of PICTURE1, as the empty picture shows it.
void drawZeroLine(Canvas& picture);
// PICTURE1 as with no file: its background and the centre line.
void showEmptyPicture(AppContext& ctx);
// Redraws the view at HSCROLL1's position: the position text, the second
// and the markers of the selected entry. With no wave file open there is
// nothing to show, and nothing changes.
void refreshView(AppContext& ctx);
// The view as with no wave file open, once the file it showed has been
// closed: the empty picture, no markers, EDIT1 and EDIT2 empty, and
// HSCROLL1 at 0 with nothing to scroll.
void clearView(AppContext& ctx);
// HSCROLL1 moved: refused when no wave file is open, else refreshView.
void HSCROLL1_CHANGE(AppContext& ctx);
// Home and End: the view to the first (last) second, as the scroll bar
// moves it; nothing happens when it is there already.
void FIRSTSECOND(AppContext& ctx);
void LASTSECOND(AppContext& ctx);
// Starts building the graph cache of the open wave file behind the window:
// the records of seconds 0 … lastSecond.
void LOADGRAPHDATA(AppContext& ctx, int32_t lastSecond);
// 表示 → 時間を指定して移動… (Ctrl+G): asks for 分:秒, 時:分:秒 or seconds and
// moves the view to that second; bad or out-of-range input is refused with
// a message and nothing moves.
void GOTOTIME_ON(AppContext& ctx);
// The seconds of a time typed as M:S, H:M:S or S (full-width digits taken
// too; the seconds may have a fraction, 0 … 59.999 after a colon, and so
// the minutes of H:M:S); nothing for anything else.
std::optional<double> parseTime(std::string_view typed);
// 表示 → 次の無音へ (Ctrl+Right), 前の無音へ (Ctrl+Left): the view to the
// second that holds the middle of the next (previous) pause, counted from
// the pause line or else from the view's first frame, and the pause line
// there; refused with a message when there is no such pause.
void NEXTPAUSE_ON(AppContext& ctx);
void PREVPAUSE_ON(AppContext& ctx);
// 表示 → 無音の設定…: asks for the shortest pause (seconds) and the level
// every block of it stays below (dBFS), refusing what cannot be one, and
// remembers them.
void PAUSESETTINGS_ON(AppContext& ctx);
// The settings as last remembered (the defaults at a first start).
void loadPauseSettings(AppContext& ctx);
// The pause line on PICTURE1 where the view shows its frame; a line the
// view no longer shows goes (refreshView draws it).
void showPauseLine(AppContext& ctx);
// 表示 → グラフの高速表示を優先: switches the graph cache on or off. (The
// name follows the menu item's, GrapgFast, spelled so on purpose.)
void GRAPGFAST_ON(AppContext& ctx);

}  // namespace pelisto
