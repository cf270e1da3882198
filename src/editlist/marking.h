// Range marking with the mouse: the XOR cursor line on PICTURE1 and the
// conversion of a pointer position into frames and milliseconds.
#pragma once

#include <cstdint>

#include "model/context.h"

namespace pelisto {

// Enters marking mode (kMarkStart: the next press sets a start, kMarkEnd:
// an end): the resize pointer over PICTURE1, the cursor line at x = 0.
void armMarking(AppContext& ctx, MarkMode mode);

// The mouse buttons as the mouse handlers get them.
constexpr int kButtonNone = 0;
constexpr int kButtonLeft = 1;
constexpr int kButtonRight = 2;

struct MarkPosition {
  int32_t frames = 0;
  int32_t ms = 0;
};

// The position `offset` pixels into a picture `width` pixels wide showing
// second `second`: second × 44100 + offset × 44100 / width frames and
// second × 1000 + offset × 1000 / width ms, each rounded on its own to the
// nearest integer, halves to even (saturated to the int32 range).
MarkPosition positionAt(int32_t second, double offset, double width);

// A start marked at pos: row EDITCOUNT is emptied and gets the open file,
// pos and loop count 1; its pending line replaces an earlier one and is
// selected. Refused with a message when the list is full.
void markStartAt(AppContext& ctx, const MarkPosition& pos);
// An end marked at pos finishes the pending entry (without one, there is
// nothing to finish); afterwards no line is selected.
void markEndAt(AppContext& ctx, const MarkPosition& pos);

// The position limited to the data of a file with `dataSize` bytes of
// sound: frames 0 … the end of the data (the frame count), ms 0 … the whole
// ms of that end.
MarkPosition clampToData(MarkPosition pos, uint32_t dataSize);

}  // namespace pelisto
