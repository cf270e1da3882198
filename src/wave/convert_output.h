// The output side of a conversion: samples of full scale ±1 rounded to 16
// bits, and the converted file written behind its header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/file_system.h"
#include "platform/riff.h"

namespace pelisto {

// Two uniform values of ±1/2 step each: triangular noise of ±1 step.
inline constexpr float kDitherScale = 1.0f / 65536.0f;

// Rounds samples of full scale ±1 to 16 bits (ties to even), with
// triangular (TPDF) dither of ±1 step. The dither of each sample is a hash
// of its number in the sound, so that a conversion gives the same bytes
// every time, however its blocks are cut. Past full scale a sample is
// clamped to the largest value of its sign and counted; a sample that is
// not a number becomes silence.
class Quantizer {
 public:
  explicit Quantizer(bool dither) : m_noiseScale(dither ? kDitherScale : 0.0f) {}

  // Rounds the next n samples of the sound from src into dst as 16-bit
  // little-endian integers (2 × n bytes).
  void run(const float* src, size_t n, uint8_t* dst);
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

// A gain of 16-bit samples, rounded back to 16 bits as a Quantizer with
// dither rounds: the noise of each sample is that of its number in the
// sound, so that any pieces of the sound, scaled in any order on any
// thread, give the same bytes.
class DitheredGain {
 public:
  explicit DitheredGain(double factor) : m_scale(static_cast<float>(factor / 32768.0)) {}

  // Scales n 16-bit little-endian samples from src into dst (which may be
  // src), the first of them sample number `first` of the sound; returns
  // how many were clamped.
  uint32_t apply(const uint8_t* src, uint8_t* dst, size_t n, uint64_t first) const;

 private:
  float m_scale;
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
  WritebackPacer m_writeback{riff::kCanonicalHeaderBytes};
  std::vector<uint8_t> m_bytes;
};

}  // namespace pelisto
