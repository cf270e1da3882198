// Every event handler and shared procedure of the program, each a free
// function over the application context. A handler's comment starts with
// what the user does to run it (the caption of its button or menu item);
// shell/events.cpp binds each to its event. Mouse handlers take the button
// state (0 none, 1 left, 2 right) and the position in the receiving
// window's client pixels.
#pragma once

#include <cstdint>
#include <string>

#include "model/context.h"

namespace pelisto {

// Application shell (app/).

// The main window opens: paints the form (face colour, labels, the lines
// across the top, the amplitude scale, the empty picture), sets the fonts
// and the title of message boxes.
void MAINFORM_START(AppContext& ctx);
// The close box or Ctrl+Q: offers to save an unsaved edit list, stops a
// play and the graph build. Returns true when the window may close (false:
// the user kept it open).
bool MAINFORM_QUERYCLOSE(AppContext& ctx);
// ヘルプ → 著作権表示: shows the about window (FORM3) modally.
void COPYRIGHT_ON(AppContext& ctx);
// The about window opens: paints its panel.
void FORM3_START(AppContext& ctx, Canvas& form3);
// 確認 in the about window: closes it.
void BUTTON13_ON(AppContext& ctx);

// Wave files (wave/).

// ファイル → waveファイルを開く: asks for a wave file, opens it into the view
// and offers to convert a sound of another format.
void OPENWAVEFILE_ON(AppContext& ctx);
// Reads the next block (10 ms) of the open wave file into WAVEBUF, from
// byte position when it is not 0; zeros past the end.
int16_t GETWAVEDATA(AppContext& ctx, int32_t position);
// Waveファイルの作成: checks the whole edit list, asks for a name, writes the
// joined wave file and plays it.
void BUTTON6_ON(AppContext& ctx);
// ボイスレス: asks whether the selected entry is written voiceless.
void BUTTON14_ON(AppContext& ctx);
// 編集 → つなぎ目を滑らかにする: switches the smoothing of the joins in
// written files on or off, and remembers it for the next start.
void SMOOTHJOINS_ON(AppContext& ctx);

// Waveform view (view/).

// Draws second of the open wave file into PICTURE1 (from the graph cache
// when it is ready).
int16_t SHOWWAVEDATA(AppContext& ctx, int32_t second);
// HSCROLL1 moved: shows the position text, the second and the markers of
// the selected entry.
void HSCROLL1_CHANGE(AppContext& ctx);
// Starts building the graph cache of the open wave file behind the window.
void LOADGRAPHDATA(AppContext& ctx, const std::string& name, int32_t& seconds);
// 表示 → グラフの高速表示を優先: switches the graph cache on or off.
void GRAPGFAST_ON(AppContext& ctx);
// The mouse over the waveform: moves the marking cursor line while marking.
void PICTURE1_MOUSEMOVE(AppContext& ctx, int button, double x, double y);
// A press on the waveform ends marking; a left press sets the start or the
// end being marked.
void PICTURE1_MOUSEDOWN(AppContext& ctx, int button, double x, double y);
// The mouse over the band above the waveform: grabs a marker of the
// selected entry under the pointer, or drags the grabbed one.
void MAINFORM_MOUSEMOVE(AppContext& ctx, int button, double x, double y);
// The release of a dragged marker: moves that end of the selected entry.
void MAINFORM_MOUSEUP(AppContext& ctx, int button, double x, double y);

// Playback (playback/).

// 元曲再生: plays the open wave file from the second in view, followed by
// the view.
void BUTTON1_ON(AppContext& ctx);
// 停止: stops the play.
void BUTTON2_ON(AppContext& ctx);
// 指定範囲の再生: plays the selected entry's range, followed by the view.
void BUTTON5_ON(AppContext& ctx);
// 編集 → つなぎ目を聴く: plays the written file's last 2 seconds before the
// selected line and the line's first 2 seconds, written into a temporary
// file (the file's first 2 seconds for line 1).
void LISTENJOIN_ON(AppContext& ctx);
// A play sent with NOTIFY has ended (or was stopped): closes the device.
void MCI1_DONE(AppContext& ctx);
// One step of following a tracked play: the view's second and the cursor.
void TRACETIMESCROLL(AppContext& ctx);
// Sends one command string through MCI1 and keeps its result in ctx.lastMci.
MciResult sendMci(AppContext& ctx, const std::string& command);

// Edit list (editlist/).

// 開始位置の指定: arms marking; the next press on the waveform sets a start.
void BUTTON3_ON(AppContext& ctx);
// 終了位置の決定: arms marking; the next press on the waveform sets the
// pending entry's end.
void BUTTON4_ON(AppContext& ctx);
// A line of LIST1 clicked: the view moves to the second its entry starts in.
void LIST1_CLICK(AppContext& ctx);
// ループ回数の指定: asks for the selected entry's loop count.
void BUTTON7_ON(AppContext& ctx);
// 一行削除 (or Delete in the list): deletes the selected line.
void BUTTON8_ON(AppContext& ctx);
// ↑: moves the selected line up one.
void BUTTON9_ON(AppContext& ctx);
// ↓: moves the selected line down one.
void BUTTON10_ON(AppContext& ctx);
// ブランク挿入: asks for a length in seconds and adds a blank entry after
// the finished ones.
void BUTTON11_ON(AppContext& ctx);
// コピー: adds a copy of the selected entry after the finished ones.
void BUTTON12_ON(AppContext& ctx);

// Project files (project/).

// ファイル → プロジェクトを開く: asks for a project file, loads its edit
// list and opens its wave file.
void OPENPROJECT_ON(AppContext& ctx);
// ファイル → プロジェクトの保存: asks for a name and saves the edit list.
void SAVEPROJECT_ON(AppContext& ctx);

}  // namespace pelisto
