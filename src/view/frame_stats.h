// Measuring stretches of 16-bit stereo frames for the survey of a file:
// the power of each channel and the lowest and highest sample. This runs
// over every frame of every file opened, so it is written for speed.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pelisto {

struct FrameStats {
  double left = 0, right = 0;  // the sums of the squared samples of each channel
  int16_t low = 0, high = 0;   // the lowest and highest sample of both channels
};

// Measures n frames (n > 0) of samples interleaved left, right, in the
// host's byte order.
FrameStats measureFrames(const int16_t* samples, size_t n);

// The lowest and highest sample of n frames (n > 0).
void frameRange(const int16_t* samples, size_t n, int16_t& low, int16_t& high);

}  // namespace pelisto
