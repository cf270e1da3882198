#include "model/line_text.h"

#include <cstdint>

#include "platform/text.h"

namespace pelisto {
namespace {

constexpr size_t kNameColumnBytes = 32;
constexpr size_t kSecondsWidth = 8;
const char* const kRangeMark = " ～ ";  // 4 CP932 bytes
const char* const kSecondsMark = " 秒 ";  // 4 CP932 bytes

// Milliseconds as seconds with three decimals; the value is exact, so the
// rounding to the nearest thousandth has nothing left to do. Taken as
// 64 bits so that a length (end − start) of two extreme rows still fits.
std::string secondsText(int64_t milliseconds) {
  uint64_t magnitude = milliseconds < 0 ? uint64_t(0) - uint64_t(milliseconds)
                                        : uint64_t(milliseconds);
  std::string fraction = std::to_string(magnitude % 1000);
  std::string text;
  if (milliseconds < 0) text.push_back('-');
  text.append(std::to_string(magnitude / 1000));
  text.push_back('.');
  text.append(3 - fraction.size(), '0');
  text.append(fraction);
  if (text.size() > kSecondsWidth) text.insert(text.begin(), '%');
  else text.insert(text.begin(), kSecondsWidth - text.size(), ' ');
  return text;
}

// A row outside the tables reads as an empty one.
const EditDataRow& dataRow(const AppState& state, int row) {
  static const EditDataRow kEmpty{};
  if (row < 0 || row >= static_cast<int>(state.EDITDATA.size())) return kEmpty;
  return state.EDITDATA[row];
}

const std::string& displayNameOf(const AppState& state, int row) {
  static const std::string kNone;
  if (row < 0 || row >= static_cast<int>(state.EDITFILE.size())) return kNone;
  return state.EDITFILE[row][kDisplayName];
}

}  // namespace

std::string formatSeconds(int32_t milliseconds) { return secondsText(milliseconds); }

std::string nameColumn(const std::string& displayName) {
  return fitCp932(displayName, kNameColumnBytes);
}

std::string finishedText(const std::string& displayName, int32_t startMs, int32_t endMs) {
  int64_t start = startMs, end = endMs;
  return nameColumn(displayName) + " " + secondsText(start) + kRangeMark + secondsText(end) +
         " " + secondsText(end - start) + kSecondsMark;
}

std::string pendingText(const std::string& displayName, int32_t startMs) {
  return nameColumn(displayName) + " " + secondsText(startMs) + kRangeMark +
         std::string(kSecondsWidth, ' ') + " ";
}

std::string finishedLine(const AppState& state, int row) {
  const EditDataRow& d = dataRow(state, row);
  return finishedText(displayNameOf(state, row), d[kStartMs], d[kEndMs]);
}

std::string pendingLine(const AppState& state, int row) {
  return pendingText(displayNameOf(state, row), dataRow(state, row)[kStartMs]);
}

}  // namespace pelisto
