// What libsndfile's virtual I/O over the program's File needs of both the
// decoder and the encoder.
#pragma once

#include <sndfile.h>

#include <cstdint>
#include <cstdio>

namespace pelisto {

// Where a seek of the library's lands (whence: SEEK_SET, SEEK_CUR or
// SEEK_END) from position pos in a file of length bytes; -1 before the
// start, which the library takes as a failed seek.
inline sf_count_t seekTarget(sf_count_t offset, int whence, uint64_t pos, uint64_t length) {
  const sf_count_t base = whence == SEEK_CUR   ? static_cast<sf_count_t>(pos)
                          : whence == SEEK_END ? static_cast<sf_count_t>(length)
                                               : 0;
  const sf_count_t to = base + offset;
  return to < 0 ? -1 : to;
}

}  // namespace pelisto
