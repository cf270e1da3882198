#include "wave/voiceless.h"

#include <cstring>

namespace pelisto {

void voicelessTransform(const uint8_t* src, uint8_t* dst, size_t bytes) {
  // Two frames at a time: swapping the 16-bit halves of each 32-bit lane
  // lines every byte of one channel up with the same byte of the other
  // (whatever the host's byte order).
  constexpr uint64_t kLow = 0x0000FFFF0000FFFFull;
  constexpr uint64_t kHigh = 0xFFFF0000FFFF0000ull;
  size_t i = 0;
  for (; i + 8 <= bytes; i += 8) {
    uint64_t x;
    std::memcpy(&x, src + i, 8);
    const uint64_t other = ((x >> 16) & kLow) | ((x << 16) & kHigh);
    x &= ~other;
    std::memcpy(dst + i, &x, 8);
  }
  for (; i + 4 <= bytes; i += 4) {
    const uint8_t ll = src[i], lh = src[i + 1], rl = src[i + 2], rh = src[i + 3];
    dst[i] = ll & ~rl;
    dst[i + 1] = lh & ~rh;
    dst[i + 2] = rl & ~ll;
    dst[i + 3] = rh & ~lh;
  }
}

}  // namespace pelisto
