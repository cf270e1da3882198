// Where the frames of a written list go: a WAV file (wav_sink.h), a coded
// file (encoded_sink.h) or the loudness meter (loudness.h). The frames
// are always 16-bit stereo at 44100 frames per second, 4 bytes each, as a
// WAV file holds them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/status.h"

namespace pelisto {

class OutputSink {
 public:
  OutputSink() = default;
  OutputSink(const OutputSink&) = delete;
  OutputSink& operator=(const OutputSink&) = delete;
  virtual ~OutputSink() = default;

  // Before the first frames: the output will hold `frames` frames.
  // Refused (kLimit) where the type cannot hold that many.
  virtual Status begin(uint64_t frames) = 0;
  // The next n frames (4 × n bytes, little-endian).
  virtual Status write(const uint8_t* frames, size_t n) = 0;
  // After the last frames: the output is complete.
  virtual Status finish() = 0;
};

}  // namespace pelisto
