// The handlers of the edit list: marking with the mouse, the list buttons,
// undo and redo. Mouse handlers take the button state (0 none, 1 left,
// 2 right) and the position in the receiving window's client pixels.
#pragma once

#include "model/context.h"

namespace pelisto {

// 開始位置の指定: arms marking; the next press on the waveform sets a start.
void BUTTON3_ON(AppContext& ctx);
// 終了位置の決定: arms marking; the next press on the waveform sets the
// pending entry's end.
void BUTTON4_ON(AppContext& ctx);
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
// ボイスレス: asks whether the selected entry is written voiceless.
void BUTTON14_ON(AppContext& ctx);

// 編集 → 再生位置を開始に ([) and 再生位置を終了に (]): while the open file
// plays from the view, what 開始位置の指定 (終了位置の決定) and a click on
// the frame being heard would do, without stopping the play; while nothing
// plays, the same at the pause line. Refused with a message without either,
// and as the buttons are otherwise.
void MARKSTARTHERE_ON(AppContext& ctx);
void MARKENDHERE_ON(AppContext& ctx);
// 編集 → 無音で区切ってリストに追加: one entry for each stretch of sound of
// the open file between its pauses, each reaching 0.10 s into the pauses
// beside it (never past a pause's middle), as one change; says how many.
// Refused with a message when no pause is found or the list would be full.
void SPLITATPAUSES_ON(AppContext& ctx);

// Undo and redo are refused while something plays, as the marking
// commands are; without a change to undo (redo) nothing happens. Unlike
// the menu handlers beside them (SMOOTHJOINS_ON, …) their names carry no
// _ON: they are the commands of their keys as much as of their menu items,
// and scripts and the key table know them by these names.

// 編集 → 元に戻す, Ctrl+Z: puts the list back as it was before its last change.
void EDITUNDO(AppContext& ctx);
// 編集 → やり直し, Ctrl+Shift+Z or Ctrl+Y: puts the list back as it was
// before the last undo.
void EDITREDO(AppContext& ctx);

}  // namespace pelisto
