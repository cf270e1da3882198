// Built with the float sums free to be reordered (CMakeLists.txt), so that
// they are summed in vector registers; on x86-64 a copy for processors with
// AVX2 is chosen at run time.
#include "view/frame_stats.h"

#include <cstdint>

namespace pelisto {

// Not under the sanitizers, whose run-time is not there yet when the copy
// is chosen.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define PELISTO_NO_CLONES
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
#define PELISTO_NO_CLONES
#endif
#endif
#if defined(__x86_64__) && defined(__GNUC__) && !defined(PELISTO_NO_CLONES)
#define PELISTO_CLONES __attribute__((target_clones("arch=x86-64-v3", "default")))
#else
#define PELISTO_CLONES
#endif

namespace {

// Written so that the compiler keeps it in vector registers (std::min over
// references it does not); inlined into each copy below.
inline __attribute__((always_inline)) void rangeOf(const int16_t* s, size_t n, int16_t& low, int16_t& high) {
  int16_t lo = INT16_MAX, hi = INT16_MIN;
  for (size_t i = 0; i < 2 * n; ++i) {
    const int16_t v = s[i];
    lo = v < lo ? v : lo;
    hi = v > hi ? v : hi;
  }
  low = lo;
  high = hi;
}

}  // namespace

PELISTO_CLONES FrameStats measureFrames(const int16_t* s, size_t n) {
  // Float sums of one block (a few hundred frames) stay within a millionth
  // of the exact sum; the caller adds blocks up in double.
  float left = 0, right = 0;
  for (size_t i = 0; i < n; ++i) {
    const float l = s[2 * i], r = s[2 * i + 1];
    left += l * l;
    right += r * r;
  }
  FrameStats stats{left, right, 0, 0};
  rangeOf(s, n, stats.low, stats.high);
  return stats;
}

PELISTO_CLONES void frameRange(const int16_t* s, size_t n, int16_t& low, int16_t& high) {
  rangeOf(s, n, low, high);
}

}  // namespace pelisto
