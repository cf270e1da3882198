// The text of an edit-list line, built from its row.
#pragma once

#include <string>

#include "model/app_state.h"

namespace pelisto {

// m / 1000 in the pattern "####.###" (8 characters up to 9999.999; more
// integer digits are written in full after a percent sign).
std::string formatSeconds(int32_t milliseconds);
// The 32-byte name column: the display name padded with blanks and cut to
// 32 CP932 bytes (never inside a double-byte character).
std::string nameColumn(const std::string& displayName);
// NAME " " F(start) " ～ " F(end) " " F(end − start) " 秒 " (66 CP932 bytes).
std::string finishedLine(const AppState& state, int row);
// NAME " " F(start) " ～ " eight blanks " " (54 CP932 bytes).
std::string pendingLine(const AppState& state, int row);

// The same two lines from a display name and times in milliseconds.
std::string finishedText(const std::string& displayName, int32_t startMs, int32_t endMs);
std::string pendingText(const std::string& displayName, int32_t startMs);

}  // namespace pelisto
