// The header checks every wave file passes before it is used: opened in the
// view (from the open-file command and from a project) or read as the
// source of an edit-list line. Read strictly in file order.
#pragma once

#include <cstdint>
#include <string>

#include "model/app_state.h"
#include "platform/file_system.h"

namespace pelisto {

inline constexpr const char* kMsgNotRiff = "このファイルはRIFFファイルではありません";
inline constexpr const char* kMsgNotWave = "このファイルはWaveファイルではありません";
inline constexpr const char* kMsgBadFmt = "fmtチャンクが不正です";
inline constexpr const char* kMsgNotPcm = "ＰＣＭ録音以外のwaveファイルは利用出来ません";
inline constexpr const char* kMsgMono = "モノラル録音されたwaveファイルは利用出来ません";
inline constexpr const char* kMsgNot44k = "44.1KHz以外で録音されたwaveファイルは利用出来ません";
inline constexpr const char* kMsgBadData = "dataチャンクが不正です";
inline constexpr const char* kMsgCannotReadWave = "waveファイルを読み込む事が出来ません";

// Which check a header failed, in the order they are made. The conversion
// offer keys on these, never on the messages.
enum class HeaderFault {
  kNone,
  kNotRiff,   // kMsgNotRiff
  kNotWave,   // kMsgNotWave
  kBadFmt,    // kMsgBadFmt
  kNotPcm,    // kMsgNotPcm
  kMono,      // kMsgMono
  kNot44k,    // kMsgNot44k
  kBadData,   // kMsgBadData
  kUnreadable,  // the file could not be read
};

struct WaveHeaderCheck {
  // ok; kInvalid with the failing check's message; kIoError with the
  // system's reason when the file could not be read (not a format fault).
  Status status;
  HeaderFault fault = HeaderFault::kNone;
  bool formatRead = false;  // the 16-byte format block was read
  WaveFormat format;
  uint32_t dataSize = 0;    // the sound's length in bytes, when ok: the data
                            // chunk's size, or the bytes the file holds after
                            // the header when it holds fewer (a cut file, or
                            // 0xFFFFFFFF from a writer that streamed)
  bool ok() const { return status.isOk(); }
};

// Reads and checks the header of file from offset 0. A file that ends
// inside the header fails with the message of the check being read.
WaveHeaderCheck checkWaveHeader(File& file);

}  // namespace pelisto
