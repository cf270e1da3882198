// The output side of a conversion: samples of full scale ±1 rounded to 16
// bits, and the converted file written behind its header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/file_system.h"

namespace pelisto {

// Rounds samples of full scale ±1 to 16 bits (ties to even), with
// triangular (TPDF) dither of ±1 step. The dither of each sample is a hash
// of its number in the sound, so that a conversion gives the same bytes
// every time, however its blocks are cut. Past full scale a sample is
// clamped to the largest value of its sign and counted; a sample that is
// not a number becomes silence.
class Quantizer {
 public:
  explicit Quantizer(bool dither) : m_noiseScale(dither ? 1.0f / 65536.0f : 0.0f) {}

  // Rounds the next n samples of the sound from src into dst as 16-bit
  // little-endian integers (2 × n bytes).
  void run(const float* src, size_t n, uint8_t* dst);
  // Scales the next n samples, 16-bit little-endian integers, in place by
  // `scale` (a factor over full scale, 1/32768 keeping them as they are)
  // and rounds them back as run() would have rounded them as floats.
  void scale(uint8_t* data, size_t n, float scale);
  // Rounds the next `frames` frames of `channels` (1 or 2) interleaved
  // channels into bytes as 16-bit stereo frames (mono goes to both sides).
  void toStereo(const float* src, size_t frames, int channels, std::vector<uint8_t>& bytes);
  // Samples clamped so far.
  uint64_t clamped() const { return m_clamped; }

 private:
  float m_noiseScale;
  uint32_t m_next = 0;  // the number of the next sample (2^32 is past any header's reach)
  uint64_t m_clamped = 0;
  std::vector<uint8_t> m_mono;
};

// Frames appended as bytes after the 44-byte header, counted against the
// header's limit. The device is asked to write each megabyte as soon as it
// is full, so that the sync at the end has little left to wait for.
class WaveOutput {
 public:
  explicit WaveOutput(File& file) : m_file(file) {}

  Status begin() { return writeHeader(); }
  // Appends `frames` 16-bit stereo frames (4 bytes each).
  Status append(const uint8_t* bytes, size_t frames);
  // Appends frames of `channels` (1 or 2) channels: mono goes to both sides.
  Status appendShort(const int16_t* src, size_t frames, int channels);
  Status end() { return writeHeader(); }

 private:
  Status writeHeader();

  File& m_file;
  uint64_t m_frames = 0;
  uint64_t m_writebackFrom = 0;  // bytes after the header not yet handed to the device
  std::vector<uint8_t> m_bytes;
};

}  // namespace pelisto
