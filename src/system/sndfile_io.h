// What libsndfile's virtual I/O over the program's File needs of both the
// decoder and the encoder.
#pragma once

#include <sndfile.h>

#include <cstdint>
#include <cstdio>
#include <limits>

namespace pelisto {

// Where a seek of the library's lands (whence: SEEK_SET, SEEK_CUR or
// SEEK_END) from position pos in a file of length bytes; -1 before the
// start or past what the library's signed count holds, which the library
// takes as a failed seek. Computed in unsigned 64-bit: a damaged header's
// offset (an RF64 data size of 2^63 - 1, say) neither overflows nor wraps.
inline sf_count_t seekTarget(sf_count_t offset, int whence, uint64_t pos, uint64_t length) {
  const uint64_t base = whence == SEEK_CUR ? pos : whence == SEEK_END ? length : 0;
  constexpr uint64_t kMax = static_cast<uint64_t>(std::numeric_limits<sf_count_t>::max());
  const uint64_t step = offset < 0 ? 0 - static_cast<uint64_t>(offset) : static_cast<uint64_t>(offset);
  if (offset < 0 ? step > base : base > kMax || step > kMax - base) return -1;
  return static_cast<sf_count_t>(offset < 0 ? base - step : base + step);
}

}  // namespace pelisto
