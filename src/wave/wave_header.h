// The header checks every wave file passes before it is opened in the view
// (from the open-file command and from a project), in file order.
#pragma once

#include <cstdint>
#include <string>

#include "app/app_state.h"
#include "platform/file_table.h"

namespace pelisto {

inline constexpr const char* kMsgNotRiff = "このファイルはRIFFファイルではありません";
inline constexpr const char* kMsgNotWave = "このファイルはWaveファイルではありません";
inline constexpr const char* kMsgBadFmt = "fmtチャンクが不正です";
inline constexpr const char* kMsgNotPcm = "ＰＣＭ録音以外のwaveファイルは利用出来ません";
inline constexpr const char* kMsgMono = "モノラル録音されたwaveファイルは利用出来ません";
inline constexpr const char* kMsgNot44k = "44.1KHz以外で録音されたwaveファイルは利用出来ません";
inline constexpr const char* kMsgBadData = "dataチャンクが不正です";

struct WaveHeaderCheck {
  bool ok = false;
  std::string message;     // the failing check's message when !ok
  bool formatRead = false; // the 16-byte format block was read
  WaveFormat format;
  int32_t dataSize = 0;    // valid when ok
};

// Reads and checks the header of the file open under num, from offset 0.
// A file that ends inside the header fails with the message of the check
// being read. On success the file stands at offset 44.
WaveHeaderCheck checkWaveHeader(FileTable& files, int16_t num);

// The two roundings of the data size: whole seconds for the length display
// and the graph cache (halves to even), the scroll range (halves away).
int32_t lengthSeconds(int32_t dataSize);
int32_t scrollRangeMax(int32_t dataSize);

// EDIT1's text for a length of s seconds: "M 分 S秒".
std::string lengthText(int32_t seconds);

}  // namespace pelisto
