// The WAV output: the open wave file's header with the output's two sizes,
// then the frames as they are. Its bytes are those the program has always
// written.
#pragma once

#include <cstdint>

#include "platform/file_system.h"
#include "wave/output_sink.h"
#include "wave/write_plan.h"

namespace pelisto {

inline constexpr const char* kMsgWaveTooLarge = "作成するファイルの大きさが4GBを超えるため作成できません";

// Refused (kLimit, kMsgWaveTooLarge) when a WAV file of `frames` frames
// would be longer than its 32-bit sizes can describe.
Status checkWavLength(uint64_t frames);

class WavSink final : public OutputSink {
 public:
  // Writes into file from offset 0; header is the open wave file's.
  WavSink(File& file, const WaveHeaderBytes& header) : m_file(file), m_header(header) {}

  // Checks the length, takes the room for the whole file at once (a full
  // device is refused before a byte is written, and the file system lays
  // the file out in one piece) and writes the header.
  Status begin(uint64_t frames) override;
  Status write(const uint8_t* frames, size_t n) override;
  Status finish() override;

 private:
  File& m_file;
  WaveHeaderBytes m_header;
  uint64_t m_at = 0;  // where the next frames go
  uint64_t m_end = 0;  // the planned length
  WritebackPacer m_writeback;
};

}  // namespace pelisto
